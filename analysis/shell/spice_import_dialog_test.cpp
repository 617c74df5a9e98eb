// "Amp-ops do deck": the rows typed and clicked into the replacements
// that morat's --opamp would give, their refusals, "Sem troca" and
// "Cancelar"; and the deck's node names in "Nó de saída".
#include "analysis/shell/spice_import_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "analysis/shell/output_node_dialog.h"
#include "analysis/shell/startup.h"
#include "common/scratch_dir.h"

namespace moratw {
namespace {

namespace spice = analysis::spice;
using Lines = std::vector<std::string>;

const std::vector<spice::OpAmpCandidate> candidates = {
    {"lm", {"1", "2", "3", "4", "5"}, {}},
    {"opa1", {"inp", "inn", "vcc", "vee", "out"}, {"inp", "inn", "out"}},
};

void type(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
}

TEST(AmpOpsDialog, CheckedRowsBecomeReplacements) {
    TFormAmpOps d(candidates);
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.windowTitle(), "Amp-ops do deck");
    EXPECT_EQ(d.rows[1].ports->text(), "inp,inn,out");  // told by the port names
    EXPECT_EQ(d.rows[0].ports->text(), "");
    EXPECT_EQ(d.rows[0].ro->text(), "50");
    type(d.rows[0].gb, "3meg");
    type(d.rows[0].ports, "1, 2, 5");
    type(d.rows[1].gb, "1.5e6");
    type(d.rows[1].ro, "75");
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(d.chosen.size(), 2u);
    EXPECT_EQ(d.chosen[0].subckt, "lm");
    EXPECT_EQ(d.chosen[0].gb_hz, 3e6L);
    EXPECT_EQ(d.chosen[0].ro, 50);
    EXPECT_EQ(d.chosen[0].ports, (Lines{"1", "2", "5"}));
    EXPECT_EQ(d.chosen[1].subckt, "opa1");
    EXPECT_EQ(d.chosen[1].gb_hz, 1.5e6L);
    EXPECT_EQ(d.chosen[1].ro, 75);
    EXPECT_EQ(d.chosen[1].ports, (Lines{"inp", "inn", "out"}));
}

TEST(AmpOpsDialog, FaultyRowsAreToldAndUncheckedRowsLeftOut) {
    TFormAmpOps d(candidates);
    type(d.rows[1].gb, "1");  // 1 Hz is no gain-bandwidth product
    d.rows[0].use->setChecked(false);
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Message->text(),
              "opa1: GB em Hz acima de 1, Ro em ohms acima de 0, os terminais como ENTRADA+,ENTRADA-,SAÍDA");
    type(d.rows[1].gb, "2meg");
    type(d.rows[1].ro, "0");
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_NE(d.result(), QDialog::Accepted);
    type(d.rows[1].ro, "10");
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(d.chosen.size(), 1u);  // lm unchecked
    EXPECT_EQ(d.chosen[0].subckt, "opa1");
    EXPECT_EQ(d.chosen[0].ro, 10);
    TFormAmpOps none(candidates);
    QTest::mouseClick(none.Button2, Qt::LeftButton);
    EXPECT_EQ(none.result(), QDialog::Accepted);
    EXPECT_TRUE(none.chosen.empty());
}

// The dialog opens only for a deck with op-amp subcircuits; "Cancelar"
// stops the import.
TEST(AmpOpsDialog, AskedOnlyWhenTheDeckHasOpAmps) {
    int runs = 0;
    const AmpOpsRunner saved = amp_ops_runner();
    QPushButton* (*button)(TFormAmpOps&) = [](TFormAmpOps& d) { return d.Button1; };
    amp_ops_runner() = [&](TFormAmpOps& d) {
        ++runs;
        type(d.rows[0].gb, "4meg");
        QTest::mouseClick(button(d), Qt::LeftButton);
        return d.result();
    };
    const std::string model = ".subckt amp +in -in v+ v- out\nQ1 out +in -in qn\nR1 v+ v- 1\n.ends\n";
    std::vector<spice::OpAmpReplacement> opamps{{"old", 2, 1, {}}};
    EXPECT_TRUE(choose_opamp_replacements(nullptr, "linear\nR1 1 0 1\nV1 1 0 ac 1\n", "/d/a.cir", opamps));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(opamps.empty());
    EXPECT_TRUE(
        choose_opamp_replacements(nullptr, "bench\n" + model + "X1 a b c d e amp\n", "/d/b.cir", opamps));
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(opamps.size(), 1u);
    EXPECT_EQ(opamps[0].subckt, "amp");
    EXPECT_EQ(opamps[0].gb_hz, 4e6L);
    EXPECT_EQ(opamps[0].ports, (Lines{"+in", "-in", "out"}));
    // The deck read from its file; one that is not there asks nothing.
    suite::testing::ScratchDir dir;
    const std::string file = dir.write("bench.cir", "bench\n" + model + "X1 a b c d e amp\n");
    EXPECT_TRUE(choose_opamp_replacements(nullptr, file, opamps));
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(opamps.size(), 1u);
    EXPECT_TRUE(choose_opamp_replacements(nullptr, dir.path("none.cir"), opamps));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(opamps.empty());
    button = [](TFormAmpOps& d) { return d.Button3; };  // "Cancelar"
    EXPECT_FALSE(
        choose_opamp_replacements(nullptr, "bench\n" + model + "X1 a b c d e amp\n", "/d/b.cir", opamps));
    EXPECT_EQ(runs, 3);
    amp_ops_runner() = saved;
}

TEST(DeckNodeNames, TheOutputNodeByTheDecksName) {
    Moratw app;
    TForm3& form = *app.Form3;
    DeckNodeField* field = deck_node_field(form);
    EXPECT_EQ(deck_node_field(form), field);  // one field per form
    EXPECT_TRUE(field->isHidden());
    field->set_nodes({"0", "in", "out", "x1.mid"});
    form.show();
    EXPECT_TRUE(field->isVisible());
    form.NEnsaida->set_panel_int(1);
    type(field, "X1.MID");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(form.NEnsaida->panel_int(), 3);
    EXPECT_EQ(field->Message->text(), "X1.MID: nó 3 do netlist.");
    type(field, "nowhere");
    EXPECT_FALSE(field->apply());
    EXPECT_EQ(form.NEnsaida->panel_int(), 3);
    EXPECT_EQ(field->Message->text(), "O deck não tem o nó nowhere.");
    type(field, "gnd");
    EXPECT_TRUE(field->apply());
    EXPECT_EQ(form.NEnsaida->panel_int(), 0);
    field->set_nodes({});  // a netlist opened as it stands
    EXPECT_TRUE(field->isHidden());
    EXPECT_EQ(field->text(), "");
}

}  // namespace
}  // namespace moratw
