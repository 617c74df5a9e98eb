#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <sstream>

#include "common/scratch_dir.h"
#include "common/textfile.h"
#include "viewer/display.h"
#include "viewer/kelmacli.h"
#include "viewer/tablereader.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;

struct KelmaRun {
    int status = 0;
    std::string out, err;
};

KelmaRun kelma(std::vector<std::string> args) {
    std::ostringstream out, err;
    KelmaRun r;
    r.status = run_kelma(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

const std::string kExamples = std::string(SUITE_SOURCE_DIR) + "/examples/";

class Kelma : public ::testing::Test {
protected:
    suite::testing::ScratchDir scratch;
    fs::path dir = scratch.root();
};

TEST_F(Kelma, PrintsTheReportsOfEveryRead) {
    const KelmaRun r = kelma({kExamples + "butter4_sallenkey.tsp", kExamples + "lowpass4_reference.rpo",
                              kExamples + "elliptic4_zeros.tsz"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "* Lida tabela no. 1, de pólos\n* Fim do arquivo\n"
              "* Lida tabela no. 2, de pólos\n* Lida tabela no. 3, de pólos\n* Fim do arquivo\n"
              "* Lida tabela no. 4, de zeros\n* Fim do arquivo\n");
    EXPECT_EQ(r.err, "");

    suite::write_text_file((dir / "plain.tab").string(), {"Polos", "-1 0", "", "Zeros", "0 x"});
    const std::string missing = (dir / "none.tsp").string();
    const KelmaRun bad = kelma({(dir / "plain").string(), missing});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "* Lida tabela no. 1, de pólos\n* Formato impróprio.\n* Arquivo " + missing +
                           " inexistente.\n");
}

TEST_F(Kelma, DrawsTheMainWindowPicture) {
    const std::string png = (dir / "p.png").string();
    const KelmaRun r = kelma({kExamples + "butter4_mfb.tsp", "--plot", png, "--size", "300", "--window",
                              "-1.5", "-1.5", "3", "--magnify", "2", "--no-ellipses", "--select", "1", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage im(QString::fromStdString(png));
    ASSERT_EQ(im.size(), QSize(300 + 4 + 150, 300));
    EXPECT_EQ(im.pixelColor(0, 150), QColor(Qt::yellow));
    // Entry 2 at (-0.3827, -0.9239) on a square of side 299 (rows 0 to 299):
    // the cursor's fill is red, the first file is white.
    const int x = static_cast<int>(std::lround(299.0 / 3 * (-0.382683432 + 1.5)));
    const int y = static_cast<int>(std::lround(299 - 299.0 / 3 * (-0.923879533 + 1.5)));
    EXPECT_EQ(im.pixelColor(x + 4, y + 2), QColor(Qt::red));
    EXPECT_EQ(im.pixelColor(x - 2, y - 2), QColor(Qt::white));

    const std::string svg = (dir / "p.svg").string();
    EXPECT_EQ(kelma({kExamples + "elliptic4_zeros.tsz", "--plot", svg}).status, 0);
    EXPECT_NE(suite::read_file_bytes(svg).find("<svg"), std::string::npos);
    const KelmaRun empty = kelma({"--plot", (dir / "e.png").string()});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(QImage(QString::fromStdString((dir / "e.png").string())).size(), QSize(634, 480));
}

int white_in_square(const QImage& im, int side) {
    int n = 0;
    for (int x = 1; x < side; ++x)
        for (int y = 1; y < side; ++y) n += im.pixelColor(x, y) == QColor(Qt::white);
    return n;
}

// Without --window the picture holds every table read, with its deviations,
// as the viewer's key "t" fits them; --window keeps the window asked for.
TEST_F(Kelma, APictureWithoutAWindowShowsEveryTable) {
    const std::string table = kExamples + "butterworth6-cascade.tsp";
    const std::string png = (dir / "fit.png").string();
    ASSERT_EQ(kelma({table, "--plot", png, "--size", "401"}).status, 0);
    const QImage im(QString::fromStdString(png));
    TableStore store;
    allocate_slots(store);
    read_table_file(store, table, [](const std::string&) {});
    DisplayState d;
    ASSERT_FALSE(apply_window(d, *fitted_window(store, d)));
    for (int k = 1; k <= store.slot(1).count; ++k) {
        const Entry& e = store.slot(1).entry(k);
        const int x = static_cast<int>(std::lround(400 * (e.Re - d.re_min) / d.width));
        const int y = static_cast<int>(std::lround(400 - 400 * (e.Im - d.im_min) / d.width));
        EXPECT_GT(x, 0);
        EXPECT_LT(y, 400);
        EXPECT_EQ(im.pixelColor(x - 2, y - 2), QColor(Qt::white)) << k;  // clear of the cursor
    }
    ASSERT_EQ(kelma({table, "--plot", png, "--size", "401", "--window", "-2", "-2", "4"}).status, 0);
    EXPECT_EQ(white_in_square(QImage(QString::fromStdString(png)), 400), 0);  // poles at thousands: none
}

TEST_F(Kelma, RefusesABadCommandLine) {
    const std::string t = kExamples + "butter4_mfb.tsp";
    const std::vector<std::vector<std::string>> bad = {
        {},
        {t, "--plot"},
        {t, "--size", "10"},
        {t, "--size", "abc"},
        {t, "--window", "0", "0", "0"},
        {t, "--window", "0", "0"},
        {t, "--magnify", "-1"},
        {t, "--select", "2", "1"},
        {t, "--select", "1", "5"},
        {t, "--colour"},
    };
    for (const auto& args : bad) {
        const KelmaRun r = kelma(args);
        EXPECT_EQ(r.status, 2) << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(r.err.rfind("kelma: ", 0), 0u) << r.err;
    }
    // The scales dialog's texts: its refusal of the width, and the viewer's
    // report of a window it cannot resolve, which keeps the window.
    EXPECT_EQ(kelma({t, "--window", "0", "0", "-1"})
                  .err.rfind("kelma: --window: A largura deve ser maior que zero.\nUsage: kelma ", 0),
              0u);
    EXPECT_EQ(kWidthMessage, "A largura deve ser maior que zero.");
    const KelmaRun unresolved = kelma({t, "--window", "1e9", "0", "1e-9"});
    EXPECT_EQ(unresolved.status, 0);
    EXPECT_EQ(unresolved.out, "* Lida tabela no. 1, de pólos\n* Fim do arquivo\n" + kBadWindow + "\n");
    EXPECT_EQ(kelma({t, "--plot", (dir / "no" / "such" / "p.png").string()}).status, 1);
    const KelmaRun help = kelma({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kelma TABLE...", 0), 0u);
    EXPECT_TRUE(help.err.empty());
}

}  // namespace
}  // namespace viewer
