// morat --pz-plot: the deviation plot written after a pole/zero run.
#include "analysis/cli/morat_pzplot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <sstream>

#include "analysis/cli/morat_plot.h"
#include "common/planeplot.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

class MoratPzPlot : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) / ("morat-pzplot-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // morat on an example netlist.
    int run(const std::string& example, std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), std::string(SUITE_SOURCE_DIR) + "/examples/" + example);
        return morat_main_with_plot(args, out, err);
    }
    std::string example(const std::string& name) const {
        return std::string(SUITE_SOURCE_DIR) + "/examples/" + name;
    }
    std::string file(const char* name) const { return (dir / name).string(); }
    static int count(const QImage& im, QRect area, const QColor& colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += im.pixelColor(x, y) == colour;
        return n;
    }

    fs::path dir;
    std::ostringstream out, err;
};

TEST_F(MoratPzPlot, WritesThePictureOfTheDeviationPlotAfterAPoleRun) {
    ASSERT_EQ(
        run("lc-notch", {"--output", "1", "--poles", example("lc-notch.r"), "--pz-plot", file("p.png")}), 0)
        << err.str();
    EXPECT_NE(out.str().find("Calculando desvios...\n"), std::string::npos);
    const QImage im(QString::fromStdString(file("p.png")));
    ASSERT_EQ(im.size(), QSize(696, 480));
    const int side = 479;
    EXPECT_EQ(im.pixelColor(0, 0), QColor(Qt::white));  // the frame
    EXPECT_EQ(im.pixelColor(side, side), QColor(Qt::white));
    EXPECT_EQ(im.pixelColor(side + 1, 300), QColor(Qt::black));
    // The lc-notch poles -4645 ± 4231j in the square from -8192 to 8192:
    // entry 1 selected, with a red square around it.
    const suite::PlaneMapping m(side, {-8192, -8192, 16384});
    const QPoint at = m.pixel(-4645.454545455L, 4230.622093373L);
    EXPECT_EQ(im.pixelColor(at + QPoint(-6, 3)), QColor(Qt::red));
    EXPECT_GT(count(im, QRect(at - QPoint(5, 5), QSize(11, 11)), QColor(Qt::white)), 5);
    const QRect column(side + 4, 0, 150, 60);  // the text column
    EXPECT_GT(column.width() * column.height() - count(im, column, QColor(Qt::black)), 100);
    EXPECT_GT(count(im, QRect(side + 3, 100, 98, 100), QColor(128, 128, 128)), 1000);  // the panel

    ASSERT_EQ(run("lc-notch", {"--output", "1", "--zeros", example("lc-notch.z1"), "--pz-plot", file("z.svg"),
                               "--size", "500x300"}),
              0)
        << err.str();
    const std::string svg = suite::read_text(file("z.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"500\""), std::string::npos);
    EXPECT_NE(svg.find("lc-notch"), std::string::npos);  // "Rede: lc-notch"
}

TEST_F(MoratPzPlot, ResponseAndDeviationPicturesInOneRun) {
    ASSERT_EQ(run("lc-notch", {"--output", "1", "--plot", file("r.png"), "--poles", example("lc-notch.r"),
                               "--pz-plot", file("p.png"), "--size", "400x300"}),
              0)
        << err.str();
    EXPECT_EQ(QImage(QString::fromStdString(file("r.png"))).size(), QSize(400, 300));
    EXPECT_EQ(QImage(QString::fromStdString(file("p.png"))).size(), QSize(400, 300));
}

TEST_F(MoratPzPlot, AnotherSquareAndAnotherEntry) {
    // The square from -5000 to -4000 by 3800 to 4800 around pole 1 of the
    // lc-notch (-4645 + 4231j), entry 2 selected (off the square: no red).
    ASSERT_EQ(run("lc-notch", {"--output", "1", "--poles", example("lc-notch.r"), "--pz-plot", file("w.png"),
                               "--pz-window", "-5000", "3800", "1000", "--pz-entry", "2"}),
              0)
        << err.str();
    const QImage im(QString::fromStdString(file("w.png")));
    const suite::PlaneMapping m(479, {-5000, 3800, 1000});
    const QPoint at = m.pixel(-4645.454545455L, 4230.622093373L);
    EXPECT_EQ(count(im, QRect(0, 0, 479, 479), QColor(Qt::red)), 0);
    // Here the deviations of about 320 show: the rectangle's corners in yellow.
    const QPoint corner = m.pixel(-4645.454545455L - 311.594037499L, 4230.622093373L + 326.975072305L);
    EXPECT_EQ(im.pixelColor(corner), QColor(Qt::yellow));
    EXPECT_EQ(im.pixelColor(at), QColor(Qt::white));
}

TEST_F(MoratPzPlot, NoPictureWithoutASetAndUsageErrors) {
    EXPECT_EQ(run("lc-notch", {"--output", "1", "--poles", file("none.r"), "--pz-plot", file("a.png")}), 1);
    EXPECT_NE(out.str().find("* Arquivo " + file("none.r") + " inexistente.\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(file("a.png")));

    struct Row {
        std::vector<std::string> args;
        const char* reason;
    };
    const Row rows[] = {
        {{"--pz-plot", "p.png"}, "morat: --pz-plot needs --poles or --zeros\n"},
        {{"--pz-plot"}, "morat: option --pz-plot needs a value\n"},
        {{"--pz-plot="}, "morat: invalid value for --pz-plot: \n"},
        {{"--poles", "x.r", "--pz-plot", "p.png", "--grid"},
         "morat: --grid, --cursor and --curves need --plot FILE\n"},
        {{"--poles", "x.r", "--pz-plot", "p.png", "--size", "20x20"},
         "morat: invalid value for --size: 20x20\n"},
        {{"--poles", "x.r", "--pz-window", "0", "0", "1"},
         "morat: --pz-window and --pz-entry need --pz-plot FILE\n"},
        {{"--poles", "x.r", "--pz-plot", "p.png", "--pz-window", "0", "0", "0"},
         "morat: invalid value for --pz-window: 0 0 0\n"},
        {{"--poles", "x.r", "--pz-plot", "p.png", "--pz-window", "0", "0"},
         "morat: option --pz-window needs 3 values\n"},
        {{"--poles", "x.r", "--pz-plot", "p.png", "--pz-entry", "0"},
         "morat: invalid value for --pz-entry: 0\n"},
        {{"--output", "1", "--poles", example("lc-notch.r"), "--pz-plot", "p.png", "--pz-entry", "3"},
         "morat: --pz-entry 3: the set has 2 entries\n"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(run("lc-notch", r.args), 2) << r.reason;
        EXPECT_EQ(err.str().rfind(r.reason, 0), 0u) << err.str().substr(0, 80);
        EXPECT_FALSE(fs::exists("p.png"));
        EXPECT_NE(err.str().find("Usage: morat"), std::string::npos);
    }
    std::vector<std::string> args{"f.net", "--pz-plot", "p.png", "--size", "300x200"};
    PlotOptions plot;
    ASSERT_EQ(take_plot_options(args, plot), "");
    EXPECT_EQ(args, std::vector<std::string>{"f.net"});
    EXPECT_EQ(plot.pz_file, "p.png");
    EXPECT_FALSE(plot.file);
    EXPECT_EQ(plot.width, 300);
    EXPECT_NE(morat_usage().find("--pz-plot FILE"), std::string::npos);
}

}  // namespace
}  // namespace analysis
