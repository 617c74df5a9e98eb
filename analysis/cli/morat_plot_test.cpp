// morat's picture options: parsing, and the pictures written.
#include "analysis/cli/morat_plot.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/cli/morat_cli.h"
#include "analysis/display/response_plot.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

TEST(MoratPlotOptions, AreTakenOutOfTheArguments) {
    std::vector<std::string> args{"f.net",  "--plot",   "p.svg", "--size=800x600", "--output",         "2",
                                  "--grid", "--cursor", "7",     "--curves",       "fase,1,AtGr,phase"};
    PlotOptions plot;
    ASSERT_EQ(take_plot_options(args, plot), "");
    EXPECT_EQ(args, (std::vector<std::string>{"f.net", "--output", "2"}));
    EXPECT_EQ(plot.file, "p.svg");
    EXPECT_EQ(plot.width, 800);
    EXPECT_EQ(plot.height, 600);
    EXPECT_TRUE(plot.grid);
    EXPECT_EQ(plot.cursor, 7);
    EXPECT_EQ(plot.curves, (std::vector<int>{2, 1, 3}));
    for (const char* noise : {"noise", "6", "Ruído", "ruido"}) {
        std::vector<std::string> a{"--plot", "p.png", "--curves", std::string("vefa,") + noise};
        ASSERT_EQ(take_plot_options(a, plot), "") << noise;
        EXPECT_EQ(plot.curves, (std::vector<int>{5, 6})) << noise;
    }

    std::vector<std::string> scaled{
        "--plot", "p.png", "--scale", "atgr=0,2e-3", "--scale=phase=-90,90", "--scale", "module=-12.5,0"};
    ASSERT_EQ(take_plot_options(scaled, plot), "");
    ASSERT_EQ(plot.scales.size(), 3u);
    EXPECT_EQ(plot.scales[0].curve, 3);
    EXPECT_EQ(plot.scales[0].min, 0);
    EXPECT_EQ(plot.scales[0].max, 2e-3L);
    EXPECT_EQ(plot.scales[1].curve, 2);
    EXPECT_EQ(plot.scales[1].min, -90);
    EXPECT_EQ(plot.scales[2].curve, 1);
    EXPECT_EQ(plot.scales[2].min, -12.5L);
    EXPECT_EQ(plot.scales[2].max, 0);

    std::vector<std::string> plain{"f.net", "--", "--grid"};
    PlotOptions none;
    ASSERT_EQ(take_plot_options(plain, none), "");
    EXPECT_EQ(plain, (std::vector<std::string>{"f.net", "--", "--grid"}));
    EXPECT_FALSE(none.file);
    EXPECT_EQ(none.width, 696);
    EXPECT_EQ(none.height, 480);
    EXPECT_EQ(none.curves, (std::vector<int>{1, 2}));
}

TEST(MoratPlotOptions, BadValuesAreUsageErrors) {
    struct Row {
        std::vector<std::string> args;
        const char* reason;
    };
    const Row rows[] = {
        {{"--plot"}, "option --plot needs a value"},
        {{"--plot", "p.png", "--size", "800"}, "invalid value for --size: 800"},
        {{"--plot", "p.png", "--size", "50x480"}, "invalid value for --size: 50x480"},
        {{"--plot", "p.png", "--size", "800x99999"}, "invalid value for --size: 800x99999"},
        {{"--plot", "p.png", "--curves", "module,7"}, "invalid value for --curves: module,7"},
        {{"--plot", "p.png", "--curves", "noisy"}, "invalid value for --curves: noisy"},
        {{"--plot", "p.png", "--curves", ""}, "invalid value for --curves: "},
        {{"--plot", "p.png", "--curves", "1,"}, "invalid value for --curves: 1,"},
        {{"--plot", "p.png", "--cursor", "-1"}, "invalid value for --cursor: -1"},
        {{"--plot", "p.png", "--grid=yes"}, "option --grid takes no value"},
        {{"--grid"}, "--size, --grid, --cursor and --curves need --plot FILE"},
        {{"--size", "800x600"}, "--size, --grid, --cursor and --curves need --plot FILE"},
        {{"--scale", "module=-80,5"}, "--scale needs --plot FILE"},
        {{"--plot", "p.png", "--scale", "module"}, "invalid value for --scale: module"},
        {{"--plot", "p.png", "--scale", "module=-80"}, "invalid value for --scale: module=-80"},
        {{"--plot", "p.png", "--scale", "freq=1,2"}, "invalid value for --scale: freq=1,2"},
        {{"--plot", "p.png", "--scale", "0=1,2"}, "invalid value for --scale: 0=1,2"},
        {{"--plot", "p.png", "--scale", "module=5,5"}, "invalid value for --scale: module=5,5"},
        {{"--plot", "p.png", "--scale", "module=5,-80"}, "invalid value for --scale: module=5,-80"},
        {{"--plot", "p.png", "--scale", "module=a,5"}, "invalid value for --scale: module=a,5"},
        {{"--plot", "p.png", "--scale", "module=-80,5,6"}, "invalid value for --scale: module=-80,5,6"},
    };
    for (const Row& r : rows) {
        std::vector<std::string> args = r.args;
        PlotOptions plot;
        EXPECT_EQ(take_plot_options(args, plot), r.reason);
    }
}

class MoratPlot : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) / ("morat-plot-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "divider.net") << "2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 1000\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), (dir / "divider").string());
        return morat_main_with_plot(args, out, err);
    }
    std::string file(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    std::ostringstream out, err;
};

TEST_F(MoratPlot, WritesThePngOfTheResponseWindow) {
    ASSERT_EQ(run({"--output", "2", "--plot", file("d.png")}), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("Nó de saída: 2\n"), std::string::npos);
    const QImage image(QString::fromStdString(file("d.png")));
    ASSERT_EQ(image.size(), QSize(696, 480));
    // The flat module curve at −6.02 dB on the default −60..10 dB scale is
    // lime somewhere in its row band, and the background black.
    int lime = 0;
    for (int y = 0; y < 480; ++y) lime += image.pixelColor(400, y) == QColor(0, 255, 0) ? 1 : 0;
    EXPECT_GE(lime, 1);
    EXPECT_EQ(image.pixelColor(400, 300), QColor(Qt::black));

    ASSERT_EQ(run({"--output", "2", "--plot", file("s.png"), "--size", "320x240", "--curves", "delay"}), 0);
    EXPECT_EQ(QImage(QString::fromStdString(file("s.png"))).size(), QSize(320, 240));
}

TEST_F(MoratPlot, WritesSvgByTheExtension) {
    ASSERT_EQ(run({"--output", "2", "--plot", file("d.svg"), "--grid", "--cursor", "200"}), 0) << err.str();
    const std::string svg = suite::read_text(file("d.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("Modl"), std::string::npos);  // the readout is there
}

TEST_F(MoratPlot, NoPictureWhenTheRunFailsOrTheCursorIsOutside) {
    EXPECT_EQ(run({"--output", "9", "--plot", file("a.png")}), 1);
    EXPECT_FALSE(fs::exists(file("a.png")));
    EXPECT_EQ(run({"--output", "2", "--segments", "10", "--plot", file("b.png"), "--cursor", "11"}), 2);
    EXPECT_EQ(err.str().rfind("morat: --cursor 11: the sweep has points 0 to 10\n", 0), 0u);
    EXPECT_FALSE(fs::exists(file("b.png")));
    EXPECT_EQ(run({"--output", "2", "--plot", (dir / "no" / "c.png").string()}), 1);
    EXPECT_NE(err.str(), "");
}

// --curves noise computes the noise (its report in the log) and draws the
// divider's thermal noise, 20·log10 √(4kT·500) dBV/√Hz, at its height on
// the default −180..−100 scale; other curves draw no violet.
TEST_F(MoratPlot, TheNoiseCurveIsDrawnAtItsHeight) {
    suite::testing::ScratchDir scratch;
    auto rows = [](const std::string& file) {
        const QImage image(QString::fromStdString(file));
        std::vector<int> found;
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(400, y) == QColor(160, 120, 255)) found.push_back(y);
        return found;
    };
    ASSERT_EQ(run({"--output", "2", "--plot", scratch.path("n.png"), "--curves", "module,noise"}), 0);
    EXPECT_NE(out.str().find("Ruído a 27 °C: 2 resistores e 0 fontes"), std::string::npos);
    const int bottom = 479 - QFontMetrics(plot_font()).height();
    const double db = 10 * std::log10(4 * 1.380649e-23 * 300.15 * 500);
    EXPECT_EQ(rows(scratch.path("n.png")),
              std::vector<int>{static_cast<int>(std::lround(bottom - (db + 180) / 80 * bottom))});
    ASSERT_EQ(run({"--output", "2", "--plot", scratch.path("p.png"), "--curves", "module,phase"}), 0);
    EXPECT_EQ(out.str().find("Ruído"), std::string::npos);
    EXPECT_TRUE(rows(scratch.path("p.png")).empty());
}

// --scale moves the divider's flat module, −20·log10 2 dB, to its height
// on the scale given; the later of two scales of one curve wins.
TEST_F(MoratPlot, ScaleSetsTheRangeOfACurve) {
    suite::testing::ScratchDir scratch;
    auto lime_rows = [](const std::string& file) {
        const QImage image(QString::fromStdString(file));
        std::vector<int> found;
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(400, y) == QColor(0, 255, 0)) found.push_back(y);
        return found;
    };
    const int bottom = 479 - QFontMetrics(plot_font()).height();
    const double db = -20 * std::log10(2.0);
    const auto row = [&](double min, double max) {
        return std::vector<int>{static_cast<int>(std::lround(bottom - (db - min) / (max - min) * bottom))};
    };
    ASSERT_EQ(run({"--output", "2", "--plot", scratch.path("a.png"), "--curves", "module", "--scale",
                   "module=-8,0"}),
              0)
        << err.str();
    EXPECT_EQ(lime_rows(scratch.path("a.png")), row(-8, 0));
    ASSERT_EQ(run({"--output", "2", "--plot", scratch.path("b.png"), "--curves", "module", "--scale",
                   "module=-8,0", "--scale", "1=-7,-5"}),
              0);
    EXPECT_EQ(lime_rows(scratch.path("b.png")), row(-7, -5));
}

TEST_F(MoratPlot, HelpListsThePictureOptions) {
    std::ostringstream o, e;
    EXPECT_EQ(morat_main_with_plot({"--help"}, o, e), 0);
    EXPECT_EQ(o.str(), morat_usage());
}

}  // namespace
}  // namespace analysis
