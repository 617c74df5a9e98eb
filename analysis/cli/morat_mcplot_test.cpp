// The Monte Carlo band of morat --plot: drawn beside the first-order band
// only when a Monte Carlo run exists and module or phase are plotted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <sstream>

#include "analysis/cli/morat_plot.h"
#include "analysis/display/response_plot.h"
#include "common/textfile.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

TEST(MoratMonteCarloPlot, TheBandIsDrawnOnlyWithARunAndABandedCurve) {
    const fs::path dir = fs::temp_directory_path() / ("morat_mcplot_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string net = (dir / "rc.net").string();
    suite::write_text_file(net, {"2", "V1 1 0 1", "R1 1 2 1", "C1 2 0 1"});
    struct Row {
        std::vector<std::string> options;
        bool band;
    };
    const std::string mc = (dir / "rc.mct").string();
    const Row rows[] = {
        {{"--monte-carlo", "300", "--mc-table", mc}, true},
        {{"--monte-carlo", "300", "--mc-table", mc, "--curves", "phase"}, true},
        {{"--monte-carlo", "300", "--mc-table", mc, "--curves", "delay"}, false},
        {{}, false},
    };
    for (const Row& row : rows) {
        const std::string png = (dir / "rc.png").string();
        std::vector<std::string> args{net, "--output", "2", "--variability", "0.2", "--plot", png};
        args.insert(args.end(), row.options.begin(), row.options.end());
        std::ostringstream out, err;
        ASSERT_EQ(morat_main_with_plot(args, out, err), 0) << err.str();
        const QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull());
        int band = 0, grey = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                band += c == plot_colour::monte_carlo ? 1 : 0;
                grey += c == plot_colour::grey ? 1 : 0;
            }
        SCOPED_TRACE(row.options.empty() ? "no run" : row.options.back());
        EXPECT_EQ(band > 400, row.band) << band;  // two dashed lines across the plot, and the legend
        EXPECT_EQ(band == 0, !row.band) << band;
        if (row.options.empty() || row.band) {
            EXPECT_GT(grey, 400);  // the first-order band stays visible between the dashes
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace analysis
