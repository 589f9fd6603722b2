// The sample patterns from the community compile, run and animate.

#include "ScriptTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumora::script::test {
namespace {

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::filesystem::path> samples()
{
    std::vector<std::filesystem::path> files;
    for (auto &entry : std::filesystem::directory_iterator(LUMORA_TEST_DATA "/pattern-samples"))
        if (entry.path().extension() == ".js")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Samples, CompileRunThreeHundredFramesAndAnimate)
{
    auto files = samples();
    ASSERT_EQ(files.size(), 16u);
    Grid grid(1000);
    for (const auto &file : files) {
        SCOPED_TRACE(file.filename().string());
        auto program = compileOrFail(readFile(file));
        ASSERT_TRUE(program);
        Instance instance(program, 1);
        instance.setPositions(grid.x, grid.y);
        std::vector<double> rgb(3000), first;
        int changedFrames = 0;
        bool lit = false;
        for (int frame = 0; frame < 300; ++frame) {
            ASSERT_TRUE(instance.renderFrame(1000.0 / 30, rgb))
                << instance.error()->line << ":" << instance.error()->column << ": " << instance.error()->message;
            if (frame > 0 && rgb != first)
                ++changedFrames;
            first = rgb;
            for (double v : rgb) {
                ASSERT_GE(v, 0);
                ASSERT_LE(v, 1);
                lit = lit || v > 0;
            }
        }
        EXPECT_TRUE(lit);
        EXPECT_GT(changedFrames, 100);
    }
}

TEST(Samples, AFreshInstanceWithTheSameKeyRepeatsTheFramesExactly)
{
    Grid grid(300);
    for (const auto &file : samples()) {
        SCOPED_TRACE(file.filename().string());
        auto program = compileOrFail(readFile(file));
        ASSERT_TRUE(program);
        std::vector<std::vector<double>> runs[2];
        for (auto &run : runs) {
            Instance instance(program, 42);
            instance.setPositions(grid.x, grid.y);
            for (int frame = 0; frame < 20; ++frame) {
                std::vector<double> rgb(900);
                instance.renderFrame(200, rgb);
                run.push_back(rgb);
            }
        }
        EXPECT_EQ(runs[0], runs[1]);
    }
}

TEST(Samples, InstancesOfOneProgramKeepTheirOwnState)
{
    auto program = compileOrFail("n = 0\nexport function beforeRender(d) { n += d }\n"
                                 "export function render(i) { rgb(n / 1000, 0, 0) }");
    Instance a(program), b(program);
    double x = 0, y = 0, rgb[3];
    a.setPositions({&x, 1}, {&y, 1});
    b.setPositions({&x, 1}, {&y, 1});
    a.renderFrame(100, rgb);
    a.renderFrame(100, rgb);
    EXPECT_DOUBLE_EQ(rgb[0], 0.2);
    b.renderFrame(100, rgb);
    EXPECT_DOUBLE_EQ(rgb[0], 0.1);
}

} // namespace
} // namespace lumora::script::test
