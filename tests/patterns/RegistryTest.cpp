#include "patterns/framework/ColorPattern.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>

using namespace lumora;

namespace {
std::vector<std::string> sortedNames()
{
    ColorPattern::addInstances();
    ColorPattern::patterns().front()->sortNames();
    std::vector<std::string> names;
    for (const ColorPattern *pattern : ColorPattern::patterns())
        names.push_back(pattern->name());
    return names;
}

std::size_t indexOf(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) - names.begin();
}
} // namespace

TEST(Registry, HoldsOneInstanceOfEachOfTheSixtyFourPatterns)
{
    ColorPattern::addInstances();
    ColorPattern::addInstances(); // a second call adds nothing
    const auto patterns = ColorPattern::patterns();
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

TEST(Registry, SortsByteWiseByName)
{
    const auto names = sortedNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_LT(indexOf(names, "StarField2"), indexOf(names, "Stars2"));
    EXPECT_LT(indexOf(names, "Walker"), indexOf(names, "Walker10"));
    EXPECT_LT(indexOf(names, "Walker10"), indexOf(names, "Walkern"));
    EXPECT_LT(indexOf(names, "Walkern"), names.size());
    EXPECT_EQ(ColorPattern::named("Walker10")->name(), "Walker10");
    EXPECT_EQ(ColorPattern::named("NoSuchPattern"), nullptr);
}

TEST(Registry, EveryPatternAnswersWithoutNaN)
{
    ColorPattern::addInstances();
    for (const ColorPattern *pattern : ColorPattern::patterns()) {
        for (double t : {0.0, 1.5, 480.0}) {
            for (double x : {-3.0, -0.25, 0.0, 0.7, 5.0}) {
                const Color c = pattern->color(Position{t, x, x * 0.5 - 1, 7});
                ASSERT_FALSE(std::isnan(c.r) || std::isnan(c.g) || std::isnan(c.b)) << pattern->name();
            }
        }
    }
}
