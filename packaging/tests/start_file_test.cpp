// The window programs started with a file, as a file manager or a desktop
// entry starts them: the file goes where the first file dialog's answer
// would have gone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "analysis/display/program.h"
#include "analysis/shell/main_window.h"
#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/startup.h"
#include "common/dialogseam.h"
#include "viewer/jmensagenspz.h"
#include "viewer/jprincipalpz.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder of the test's own, made the current folder while the
// test runs.
class StartFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) /
              (std::string("start_file_") + info->name() + "_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "sub");
        old_folder = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(old_folder);
        fs::remove_all(dir);
    }
    void copy_example(const std::string& name, const fs::path& to) {
        fs::copy_file(fs::path(SUITE_SOURCE_DIR) / "examples" / name, to);
    }
    QString abs(const fs::path& p) const { return QString::fromStdString((dir / p).string()); }

    fs::path dir, old_folder;
    suite::RecordingDialogSeam next;
};

TEST_F(StartFile, OnlyTheFirstOpenDialogIsAnsweredAndEverythingElseGoesOn) {
    suite::StartFileSeam start(QStringLiteral("sub/filter"), next);
    EXPECT_TRUE(start.pending());
    suite::FileRequest request{"Abrir", "Netlists|*.net|Todos|*.*", 2, "net", "", true};

    // A save dialog before the first open one is the real one, and leaves
    // the file waiting.
    next.answer_file(QStringLiteral("/elsewhere/out.tab"));
    EXPECT_EQ(start.save_file(nullptr, request).file_name, "/elsewhere/out.tab");
    EXPECT_TRUE(start.pending());

    const suite::FileAnswer first = start.open_file(nullptr, request);
    EXPECT_TRUE(first.accepted);
    EXPECT_EQ(first.file_name, abs("sub/filter.net"));  // absolute, with the default extension
    EXPECT_EQ(first.filter_index, 2);
    EXPECT_FALSE(start.pending());
    EXPECT_EQ(next.requests.size(), 1);  // only the save dialog reached the real seam

    // Later dialogs are the real ones: here cancelled.
    EXPECT_FALSE(start.open_file(nullptr, request).accepted);
    EXPECT_EQ(next.requests.size(), 2);
    EXPECT_EQ(next.requests.last().title, "Abrir");

    start.error_box(nullptr, QStringLiteral("falhou"));
    next.answers << suite::Answer::yes;
    EXPECT_EQ(start.ask(nullptr, QStringLiteral("t"), QStringLiteral("q"), false), suite::Answer::yes);
    start.end_program(3);
    EXPECT_EQ(next.errors, QStringList{"falhou"});
    EXPECT_EQ(next.questions, QStringList{"q"});
    EXPECT_EQ(next.ended, 1);
    EXPECT_EQ(next.end_code, 3);
}

TEST_F(StartFile, ANameWithAnExtensionOrWithoutDefaultIsKeptAndAnEmptyOneWaitsForNothing) {
    suite::FileRequest plain{"Ler tabela", "Tabelas|*.t*", 1, "", "", false};
    suite::StartFileSeam with_ext(abs("a.b.tsp"), next);
    EXPECT_EQ(with_ext.open_file(nullptr, plain).file_name, abs("a.b.tsp"));
    suite::StartFileSeam bare(QStringLiteral("table"), next);
    EXPECT_EQ(bare.open_file(nullptr, plain).file_name, abs("table"));  // the reader completes it
    EXPECT_TRUE(next.requests.isEmpty());

    suite::StartFileSeam none(QString(), next);
    EXPECT_FALSE(none.pending());
    EXPECT_FALSE(none.open_file(nullptr, plain).accepted);
    EXPECT_EQ(next.requests.size(), 1);
}

// moratw NETLIST: "Abrir" reads it as the file chosen in its dialog, and
// the output-node dialog follows.
TEST_F(StartFile, MoratwOpensTheNetlistAsAbrirDoes) {
    copy_example("sallen-key-lowpass.net", dir / "sub" / "sk.net");
    suite::StartFileSeam start(QStringLiteral("sub/sk"), next);
    suite::ScopedDialogSeam scoped(start);
    moratw::Moratw app;
    app.show();
    app.Form1->Open1Click();
    EXPECT_TRUE(next.requests.isEmpty());
    EXPECT_EQ(app.program().netlist_file_name, (dir / "sub" / "sk.net").string());
    EXPECT_TRUE(app.Form3->isVisible());
    EXPECT_TRUE(app.Form1->Memo1->toPlainText().contains("Sallen-Key"));

    // The next "Abrir" shows the dialog.
    app.Form1->Open1Click();
    EXPECT_EQ(next.requests.size(), 1);
}

TEST_F(StartFile, MoratwStartedWithAMissingNetlistReportsItAndOpensNothing) {
    suite::StartFileSeam start(QStringLiteral("missing"), next);
    suite::ScopedDialogSeam scoped(start);
    moratw::Moratw app;
    app.show();
    app.Form1->Open1Click();
    EXPECT_TRUE(app.program().netlist_file_name.empty());
    EXPECT_FALSE(app.Form3->isVisible());
    EXPECT_FALSE(app.program().failed);
    EXPECT_TRUE(app.Form1->Memo1->toPlainText().contains("missing.net"));
}

// kelmaw TABLE: the start sequence loads it in place of its file dialog;
// Insert asks again, proposing the same file.
TEST_F(StartFile, KelmawLoadsTheTableInPlaceOfTheFirstDialog) {
    copy_example("butter4_mfb.tsp", dir / "sub" / "mfb.tsp");
    suite::StartFileSeam start(QStringLiteral("sub/mfb.tsp"), next);
    suite::ScopedDialogSeam scoped(start);
    kelmaw::Tjprincipalpz w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.FormActivate();
    EXPECT_TRUE(next.requests.isEmpty());
    ASSERT_TRUE(w.store.allocated());
    EXPECT_EQ(w.store.slot(1).name, "mfb.tsp");
    EXPECT_TRUE(w.store.slot(1).is_pole);
    EXPECT_EQ(w.store.slot(1).count, 4);
    EXPECT_TRUE(w.jmensagenspz->lines().contains("* Lida tabela no. 1, de pólos"));

    QTest::keyClick(&w, Qt::Key_Insert);
    ASSERT_EQ(next.requests.size(), 1);
    EXPECT_EQ(next.requests.last().file_name, abs("sub/mfb.tsp"));
}

}  // namespace
