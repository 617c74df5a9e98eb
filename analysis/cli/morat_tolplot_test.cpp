// The mask and the worst-case band on morat --plot: drawn only when asked
// for and only on the curves they belong to, each named in the legend.
#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "analysis/cli/morat_plot.h"
#include "analysis/display/response_plot.h"
#include "common/scratch_dir.h"

namespace analysis {
namespace {

TEST(MoratTolerancePlot, MaskAndWorstCaseBandWhereTheyBelong) {
    suite::testing::ScratchDir dir;
    const std::string net = dir.write("rc.net", "2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n");
    const std::string mask = dir.write(
        "rc.msk", "unidade rad/s\r\nmodulo 0.2 0.5 -1 0.5\r\nmodulo 3 5 - -8\r\natraso 0.2 1 0.4 2\r\n");
    const std::string wct = dir.path("rc.wct");
    struct Row {
        std::vector<std::string> options;
        bool mask, band;
    };
    const Row rows[] = {
        {{}, false, false},
        {{"--mask", mask}, true, false},
        {{"--worst-case", wct}, false, true},
        {{"--mask", mask, "--worst-case", wct}, true, true},
        {{"--mask", mask, "--worst-case", wct, "--curves", "phase"}, false, true},  // no module, no delay
        {{"--mask", mask, "--curves", "delay"}, true, false},                       // the delay's range
        {{"--worst-case", wct, "--curves", "delay"}, false, false},                 // no band on the delay
    };
    for (const Row& row : rows) {
        const std::string png = dir.path("rc.png");
        std::vector<std::string> args{net, "--output", "2", "--variability", "0.1", "--plot", png};
        args.insert(args.end(), row.options.begin(), row.options.end());
        std::ostringstream out, err;
        ASSERT_EQ(morat_main_with_plot(args, out, err), 0) << err.str();
        const QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull());
        int mask_pixels = 0, band_pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                mask_pixels += c == plot_colour::mask ? 1 : 0;
                band_pixels += c == plot_colour::worst_case ? 1 : 0;
            }
        SCOPED_TRACE(::testing::Message() << row.options.size() << " options, last "
                                          << (row.options.empty() ? "" : row.options.back()));
        EXPECT_EQ(mask_pixels > 200, row.mask) << mask_pixels;  // limit lines two pixels high, and the legend
        EXPECT_EQ(mask_pixels == 0, !row.mask) << mask_pixels;
        EXPECT_EQ(band_pixels > 300, row.band) << band_pixels;  // two dotted lines per curve, and the legend
        EXPECT_EQ(band_pixels == 0, !row.band) << band_pixels;
    }
}

}  // namespace
}  // namespace analysis
