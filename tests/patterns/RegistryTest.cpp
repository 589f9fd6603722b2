#include "patterns/catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>

using namespace lumora;

namespace {
std::vector<std::string> namesOf(const PatternRegistry &patterns)
{
    std::vector<std::string> names;
    for (const ColorPattern *pattern : patterns.patterns())
        names.push_back(pattern->name());
    return names;
}

/// Three patterns whose names sort apart from the order they are made in.
template <int Which>
class Named : public ColorPattern {
public:
    std::string_view qualifiedName() const override
    {
        constexpr std::string_view names[] = {"Lumora.Walker10", "Lumora.Walker", "Lumora.Walkern"};
        return names[Which];
    }
};

std::size_t indexOf(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) - names.begin();
}
} // namespace

TEST(Registry, HoldsOneInstanceOfEachOfTheSixtyFourPatterns)
{
    const PatternRegistry registry = builtInPatterns();
    const auto patterns = registry.patterns();
    EXPECT_EQ(patterns.size(), 64u);
    std::set<std::string> names, classes;
    for (const ColorPattern *pattern : patterns) {
        names.insert(pattern->name());
        classes.insert(typeid(*pattern).name());
        EXPECT_NE(pattern->name(), "ColorPattern");
        EXPECT_EQ(pattern->qualifiedName().substr(0, 7), "Lumora.");
    }
    EXPECT_EQ(names.size(), 64u);
    EXPECT_EQ(classes.size(), 64u);
}

TEST(Registry, SortsByteWiseByNameWhenBuilt)
{
    const PatternRegistry patterns = builtInPatterns();
    const auto names = namesOf(patterns);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_LT(indexOf(names, "StarField2"), indexOf(names, "Stars2"));
    EXPECT_LT(indexOf(names, "Walker"), indexOf(names, "Walker10"));
    EXPECT_LT(indexOf(names, "Walker10"), indexOf(names, "Walkern"));
    EXPECT_LT(indexOf(names, "Walkern"), names.size());
    EXPECT_EQ(patterns.named("Walker10")->name(), "Walker10");
    EXPECT_EQ(patterns.named("NoSuchPattern"), nullptr);
    EXPECT_EQ(patterns.at(names.size()), nullptr);

    // The order is the names', whatever the order of the factories: an index stored by one
    // run means the same pattern in the next.
    const PatternRegistry reversed({makePattern<Named<2>>, makePattern<Named<0>>, makePattern<Named<1>>});
    EXPECT_EQ(namesOf(reversed), (std::vector<std::string>{"Walker", "Walker10", "Walkern"}));
    EXPECT_TRUE(PatternRegistry().empty());
}

TEST(Registry, EachOwnerHasInstancesOfItsOwn)
{
    const PatternRegistry one = builtInPatterns(), other = builtInPatterns();
    ASSERT_EQ(one.size(), other.size());
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(one.at(i)->name(), other.at(i)->name());
        EXPECT_NE(one.at(i), other.at(i));
    }
}

TEST(Registry, EveryPatternAnswersWithoutNaN)
{
    const PatternRegistry patterns = builtInPatterns();
    for (const ColorPattern *pattern : patterns.patterns()) {
        for (double t : {0.0, 1.5, 480.0}) {
            for (double x : {-3.0, -0.25, 0.0, 0.7, 5.0}) {
                const Color c = pattern->color(Position{t, x, x * 0.5 - 1, 7});
                ASSERT_FALSE(std::isnan(c.r) || std::isnan(c.g) || std::isnan(c.b)) << pattern->name();
            }
        }
    }
}
