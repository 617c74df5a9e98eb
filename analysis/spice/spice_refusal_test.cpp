// Every refusal of the translator: what the linear frequency-domain
// analysis cannot represent and what is not a deck, each with its
// message, the line and its number.
#include <gtest/gtest.h>

#include "analysis/spice/spice_testing.h"

namespace analysis::spice {
namespace {

using testing::refusal;

TEST(SpiceRefusals, EachIsToldWithItsLineAndNumber) {
    const std::string operating_point =
        " precisa de um ponto de operação, que a análise linear não calcula: escreva o seu modelo de "
        "pequenos "
        "sinais com R, C, G e E";
    const std::string line =
        "linha de transmissão (T, O, U, Y, P) não pode ser representada por elementos concentrados";
    struct Case {
        std::string deck;
        std::string message;
    };
    const Case cases[] = {
        // Kinds that have no linear model, or are not SPICE's linear elements.
        {"t\nD1 1 0 dmod\n",
         "Deck SPICE, linha 2: \"D1 1 0 dmod\": diodo (D) é não linear e" + operating_point},
        {"t\nR1 1 0 1\nQ1 c b e qmod\n",
         "Deck SPICE, linha 3: \"Q1 c b e qmod\": transistor bipolar (Q) com .model" + operating_point},
        {"t\nM1 d g s b nmos w=1u\n",
         "Deck SPICE, linha 2: \"M1 d g s b nmos w=1u\": transistor MOS (M) com .model" + operating_point},
        {"t\nJ1 d g s jmod\n",
         "Deck SPICE, linha 2: \"J1 d g s jmod\": JFET (J) com .model" + operating_point},
        {"t\nZ1 d g s mes\n",
         "Deck SPICE, linha 2: \"Z1 d g s mes\": MESFET (Z) com .model" + operating_point},
        {"t\nB1 1 0 V={v(2)*2}\n",
         "Deck SPICE, linha 2: \"B1 1 0 V={v(2)*2}\": fonte comportamental (B) não pode ser representada na "
         "análise linear"},
        {"t\nS1 1 0 2 0 sw\n",
         "Deck SPICE, linha 2: \"S1 1 0 2 0 sw\": chave (S, W) é não linear e não pode ser representada"},
        {"t\nW1 1 0 vc sw\n",
         "Deck SPICE, linha 2: \"W1 1 0 vc sw\": chave (S, W) é não linear e não pode ser representada"},
        {"t\nT1 1 0 2 0 z0=50 td=1n\n", "Deck SPICE, linha 2: \"T1 1 0 2 0 z0=50 td=1n\": " + line},
        {"t\nO1 1 0 2 0 lmod\n", "Deck SPICE, linha 2: \"O1 1 0 2 0 lmod\": " + line},
        {"t\nU1 1 2 0 umod\n", "Deck SPICE, linha 2: \"U1 1 2 0 umod\": " + line},
        {"t\nY1 1 0 2 0 ymod\n", "Deck SPICE, linha 2: \"Y1 1 0 2 0 ymod\": " + line},
        {"t\nP1 1 2 0 3 4 0 pmod\n", "Deck SPICE, linha 2: \"P1 1 2 0 3 4 0 pmod\": " + line},
        {"t\nA1 1 2 amod\n", "Deck SPICE, linha 2: \"A1 1 2 amod\": modelo de código (A) não é suportado"},
        {"t\nN1 1 2 nmod\n", "Deck SPICE, linha 2: \"N1 1 2 nmod\": elemento desconhecido"},
        {"t\n#1 1 2 3\n", "Deck SPICE, linha 2: \"#1 1 2 3\": elemento desconhecido"},
        // A number beyond the range of the analysis's reals.
        {"t\nR1 1 0 7e99999\n",
         "Deck SPICE, linha 2: \"R1 1 0 7e99999\": o valor \"7e99999\" fora do alcance dos números"},
        // Controlled sources given by expressions, tables or polynomials.
        {"t\nE1 1 0 value={v(2)*3}\n",
         "Deck SPICE, linha 2: \"E1 1 0 value={v(2)*3}\": fonte controlada por expressão (value) não pode "
         "ser representada na análise linear"},
        {"t\nE1 1 0 poly(2) 2 0 3 0 0 1 1 0 0.5\n",
         "Deck SPICE, linha 2: \"E1 1 0 poly(2) 2 0 3 0 0 1 1 0 0.5\": POLY com termos de produto ou "
         "potência "
         "(coeficiente 4 diferente de 0) não é linear; só termos constantes e de primeira ordem são "
         "representáveis"},
        {"t\nG1 1 0 cur='v(2)'\n",
         "Deck SPICE, linha 2: \"G1 1 0 cur='v(2)'\": fonte controlada por expressão (cur) não pode ser "
         "representada na análise linear"},
        {"t\nE1 1 0 laplace {v(2)} = {1/s}\n",
         "Deck SPICE, linha 2: \"E1 1 0 laplace {v(2)} = {1/s}\": fonte controlada por expressão (laplace) "
         "não pode ser representada na análise linear"},
        {"t\nF1 1 0 poly(1) v1 0 1 0.1\n",
         "Deck SPICE, linha 2: \"F1 1 0 poly(1) v1 0 1 0.1\": POLY com termos de produto ou potência "
         "(coeficiente 2 diferente de 0) não é linear; só termos constantes e de primeira ordem são "
         "representáveis"},
        {"t\nH1 1 0 poly(0) v1 0 1\n",
         "Deck SPICE, linha 2: \"H1 1 0 poly(0) v1 0 1\": a dimensão do POLY deve ser de 1 a 20"},
        // Values.
        {"t\nR1 1 0 {v(2)*2}\n",
         "Deck SPICE, linha 2: \"R1 1 0 {v(2)*2}\": expressão comportamental (v(...)) não pode ser "
         "representada na análise linear: v(2)*2"},
        {"t\nV1 1 0 sin(0 1 1k)\n",
         "Deck SPICE, linha 2: \"V1 1 0 sin(0 1 1k)\": fonte só de transitório, sem AC: na análise de "
         "pequenos sinais ela não excita o circuito"},
        {"t\nV1 1 0 dc 0 ac 1 45\n",
         "Deck SPICE, linha 2: \"V1 1 0 dc 0 ac 1 45\": a fase AC de 45 graus não pode ser representada: as "
         "fontes do netlist são reais (fase 0 ou 180)"},
        {"t\nR1 1 0 rmod l=1u\n",
         "Deck SPICE, linha 2: \"R1 1 0 rmod l=1u\": \"rmod\" não é um valor; elementos com modelo (.model) "
         "não são suportados"},
        {"t\nR1 1 0 0\n", "Deck SPICE, linha 2: \"R1 1 0 0\": resistência zero não pode ser representada"},
        {"t\nL1 1 0 {1-1}\n",
         "Deck SPICE, linha 2: \"L1 1 0 {1-1}\": indutância zero não pode ser representada"},
        {"t\nC1 1 0 {cx*2}\n", "Deck SPICE, linha 2: \"C1 1 0 {cx*2}\": parâmetro desconhecido: cx"},
        // Files and lines.
        {"t\n.include missing.inc\n",
         "Deck SPICE, linha 2: \".include missing.inc\": o arquivo /decks/missing.inc não existe ou não pode "
         "ser lido"},
        {"t\n.lib lib.lib fast\n",
         "Deck SPICE, linha 2: \".lib lib.lib fast\": o arquivo /decks/lib.lib não existe ou não pode ser "
         "lido"},
        {"t\n+ 1 0 1k\n", "Deck SPICE, linha 2: \"+ 1 0 1k\": continuação (+) sem linha anterior"},
        // Subcircuits.
        {"t\n.subckt a 1 2\nR1 1 2 1\n",
         "Deck SPICE, linha 2: \".subckt a 1 2\": falta o .ends deste subcircuito"},
        {"t\n.ends\n", "Deck SPICE, linha 2: \".ends\": .ends sem .subckt"},
        {"t\n.subckt a 1 2\nR1 1 2 1\n.ends b\n",
         "Deck SPICE, linha 4: \".ends b\": .ends b fecha o subcircuito a"},
        {"t\nX1 1 2 nothere\n",
         "Deck SPICE, linha 2: \"X1 1 2 nothere\": o subcircuito nothere não foi definido"},
        {"t\n.subckt a p q\nR1 p q 1\n.ends\nX1 1 2 3 a\n",
         "Deck SPICE, linha 5: \"X1 1 2 3 a\": o subcircuito a tem 2 terminais, e a instância liga 3"},
        {"t\n.subckt a p q\nR1 p q 1\n.ends\nX1 1 2 a r=1\n",
         "Deck SPICE, linha 5: \"X1 1 2 a r=1\": o subcircuito a não tem o parâmetro r"},
        {"t\n.subckt a p q\nX1 p q a\n.ends\nX1 1 2 a\n",
         "Deck SPICE, linha 3 (em x1): \"X1 p q a\": o subcircuito a é usado dentro de si mesmo"},
        // Names, controls and couplings.
        {"t\nR1 1 0 1\nr1 2 0 1\n", "Deck SPICE, linha 3: \"r1 2 0 1\": o nome r1 já foi usado na linha 2"},
        {"t\nF1 1 0 vx 2\n", "Deck SPICE, linha 2: \"F1 1 0 vx 2\": a fonte de controle vx não existe"},
        {"t\nR9 2 0 1\nF1 1 0 r9 2\n",
         "Deck SPICE, linha 3: \"F1 1 0 r9 2\": r9 não é uma fonte de tensão (V)"},
        {"t\nK1 L1 L2 0.5\n", "Deck SPICE, linha 2: \"K1 L1 L2 0.5\": o indutor l1 não existe"},
        {"t\nL1 1 0 1m\nR1 2 0 1\nK1 L1 R1 0.5\n",
         "Deck SPICE, linha 4: \"K1 L1 R1 0.5\": r1 não é um indutor (L)"},
        {"t\nL1 1 0 1m\nK1 L1 L1 0.5\n",
         "Deck SPICE, linha 3: \"K1 L1 L1 0.5\": um indutor não pode ser acoplado a si mesmo"},
        {"t\nL1 1 0 1m\nL2 2 0 1m\nK1 L1 L2 0.5\nK2 L2 L1 0.1\n",
         "Deck SPICE, linha 5: \"K2 L2 L1 0.1\": o indutor l2 já está acoplado a l1 por k1"},
        {"t\nL1 1 0 1m\nL2 2 0 1m\nL3 3 0 1m\nK1 L1 L2 0.5\nK2 L2 L3 0.1\nK3 L3 L2 0.2\n",
         "Deck SPICE, linha 7: \"K3 L3 L2 0.2\": o par l3, l2 já está acoplado por outro K"},
        {"t\nL1 1 0 1m\nL2 2 0 1m\nL3 3 0 -1m\nK1 L1 L2 0.5\nK2 L2 L3 0.1\n",
         "Deck SPICE, linha 6: \"K2 L2 L3 0.1\": indutâncias acopladas devem ser positivas para serem "
         "representadas com mais de dois indutores"},
        {"t\nL1 1 0 1m\nL2 2 0 1m\nK1 L1 L2 1\n",
         "Deck SPICE, linha 4: \"K1 L1 L2 1\": o coeficiente de acoplamento deve ter módulo menor que 1"},
        {"t\nL1 1 0 1m\nL2 2 0 -1m\nK1 L1 L2 0.5\n",
         "Deck SPICE, linha 4: \"K1 L1 L2 0.5\": indutâncias acopladas de sinais opostos não são "
         "representáveis"},
        // Multipliers: m = 0 leaves no element; X lines and sources take none;
        // ac= belongs to R alone.
        {"t\nR1 1 0 1k m=0\n", "Deck SPICE, linha 2: \"R1 1 0 1k m=0\": m = 0"},
        {"t\nV1 1 0 ac 1\nC1 1 0 1n M={1-1}\n", "Deck SPICE, linha 3: \"C1 1 0 1n M={1-1}\": m = 0"},
        {"t\nL1 1 0 1m m=0.0\n", "Deck SPICE, linha 2: \"L1 1 0 1m m=0.0\": m = 0"},
        {"t\nR1 1 0 1k m=1e-99999\n", "Deck SPICE, linha 2: \"R1 1 0 1k m=1e-99999\": m = 0"},
        {"t\n.subckt s a\nR1 a 0 1k m={n}\n.ends\n.param n=0\nX1 1 s\n",
         "Deck SPICE, linha 3 (em x1): \"R1 a 0 1k m={n}\": m = 0"},
        {"t\nR1 1 0 1k m={1/0}\n",
         "Deck SPICE, linha 2: \"R1 1 0 1k m={1/0}\": expressão sem valor finito (divisão por zero ou fora "
         "do domínio): 1/0"},
        {"t\nR1 1 0 1k m=\n",
         "Deck SPICE, linha 2: \"R1 1 0 1k m=\": expressão inválida (falta um valor): R1 1 0 1k m="},
        {"t\n.subckt s a\nR1 a 0 1\n.ends\nX1 1 s m=2\n",
         "Deck SPICE, linha 5: \"X1 1 s m=2\": o subcircuito s não tem o parâmetro m"},
        {"t\nV1 1 0 ac 1 m=2\n", "Deck SPICE, linha 2: \"V1 1 0 ac 1 m=2\": campo inesperado \"m\""},
        {"t\nC1 1 0 1n ac=2n\n",
         "Deck SPICE, linha 2: \"C1 1 0 1n ac=2n\": parâmetro ac desconhecido ou não suportado"},
        // Lines of files, subcircuits and parameters that are not well formed.
        {"t\n.include a.inc b\n",
         "Deck SPICE, linha 2: \".include a.inc b\": texto a mais depois do nome do arquivo"},
        {"t\n.lib a.lib fast slow\n",
         "Deck SPICE, linha 2: \".lib a.lib fast slow\": texto a mais depois da seção"},
        {"t\n.subckt s a\n.ends\n.subckt S b\n.ends\n",
         "Deck SPICE, linha 4: \".subckt S b\": o subcircuito s já foi definido"},
        {"t\n.subckt\n", "Deck SPICE, linha 2: \".subckt\": falta o nome do subcircuito"},
        {"t\n.subckt s a r=1 b\n.ends\n",
         "Deck SPICE, linha 2: \".subckt s a r=1 b\": campo inesperado na linha .subckt"},
        {"t\n.subckt s a 1r=2\n.ends\n",
         "Deck SPICE, linha 2: \".subckt s a 1r=2\": nome de parâmetro inválido: 1r"},
        {"t\n.param\n", "Deck SPICE, linha 2: \".param\": falta o parâmetro"},
        {"t\n.endif\n", "Deck SPICE, linha 2: \".endif\": blocos .if não são suportados"},
        {"t\n.subckt s a k=1\n.ends\nX1 1 s k=1 2\n",
         "Deck SPICE, linha 4: \"X1 1 s k=1 2\": campo inesperado \"2\""},
        {"t\nX1\n", "Deck SPICE, linha 2: \"X1\": falta o nome do subcircuito"},
        {"t\nF1 1 0\n", "Deck SPICE, linha 2: \"F1 1 0\": falta a fonte de tensão de controle"},
        {"t\nK1 L1\n", "Deck SPICE, linha 2: \"K1 L1\": faltam os dois indutores acoplados"},
        {"t\nR1 (1 0) 1\n", "Deck SPICE, linha 2: \"R1 (1 0) 1\": falta o primeiro nó"},
        {"t\nE1 1 0 2 0 2 3\n", "Deck SPICE, linha 2: \"E1 1 0 2 0 2 3\": campo inesperado \"3\""},
        {"t\nV1 1 0 ac 1 (2)\n", "Deck SPICE, linha 2: \"V1 1 0 ac 1 (2)\": \"(\" inesperado"},
        {"t\nR1 1 0 {1\n", "Deck SPICE, linha 2: \"R1 1 0 {1\": falta \"}\" no fim da expressão"},
        {"t\nR1 1 0 {temper*2}\n",
         "Deck SPICE, linha 2: \"R1 1 0 {temper*2}\": expressão comportamental (temper) não pode ser "
         "representada na análise linear: temper*2"},
        {"t\nR1 1 0 {vdb(2)}\n",
         "Deck SPICE, linha 2: \"R1 1 0 {vdb(2)}\": expressão comportamental (vdb(...)) não pode ser "
         "representada na análise linear: vdb(2)"},
        {"t\nR1 1 0 1\n.ac dec 10 1 10 20\n",
         "Deck SPICE, linha 3: \".ac dec 10 1 10 20\": campo inesperado depois da frequência final"},
        {"t\nR1 1 0 1\n.ac dec 0 1 10\n",
         "Deck SPICE, linha 3: \".ac dec 0 1 10\": o número de pontos deve ser um inteiro positivo"},
        // Commands and sweeps.
        {"t\n.func f x*2\n", "Deck SPICE, linha 2: \".func f x*2\": falta \"(\" depois de f"},
        {"t\n.func f(x) {x*2}\n.func F(y) {y}\n",
         "Deck SPICE, linha 3: \".func F(y) {y}\": a função f já foi definida"},
        {"t\n.if (1)\n", "Deck SPICE, linha 2: \".if (1)\": blocos .if não são suportados"},
        {"t\nR1 1 0 {f(1)}\n.func f(x, y) {x*y}\n",
         "Deck SPICE, linha 2: \"R1 1 0 {f(1)}\": expressão inválida (f pede 2 argumentos): f(1)"},
        {"t\nR1 1 0 1\n.ac log 10 1 10\n",
         "Deck SPICE, linha 3: \".ac log 10 1 10\": a varredura deve ser dec, oct ou lin"},
        {"t\nR1 1 0 1\n.ac dec 2.5 1 10\n",
         "Deck SPICE, linha 3: \".ac dec 2.5 1 10\": o número de pontos deve ser um inteiro positivo"},
        {"t\nR1 1 0 1\n.ac lin 10 0 10\n",
         "Deck SPICE, linha 3: \".ac lin 10 0 10\": a frequência inicial deve ser positiva (a análise não "
         "avalia 0 Hz)"},
        {"t\nR1 1 0 1\n.ac dec 10 100 10\n",
         "Deck SPICE, linha 3: \".ac dec 10 100 10\": a frequência final é menor que a inicial"},
        // Parameters.
        {"t\n.param a={b} b={a}\nR1 1 0 {a}\n",
         "Deck SPICE, linha 2: \".param a={b} b={a}\": o parâmetro a depende de si mesmo"},
        {"t\n.param a=1\n.param a=2\n",
         "Deck SPICE, linha 3: \".param a=2\": o parâmetro a já foi definido aqui"},
        // Fields.
        {"t\nR1 1 0\n", "Deck SPICE, linha 2: \"R1 1 0\": falta o valor"},
        {"t\nR1 1\n", "Deck SPICE, linha 2: \"R1 1\": falta o segundo nó"},
        {"t\nR1 1 0 1k 2k\n", "Deck SPICE, linha 2: \"R1 1 0 1k 2k\": campo inesperado \"2k\""},
        // More faults, each told at its line.
        {"t\n.subckt s a\n.ac dec 10 1 10\n.ends\n",
         "Deck SPICE, linha 3: \".ac dec 10 1 10\": .ac dentro de um subcircuito"},
        {"t\n.param rr=1k\nR1 1 0 rr\n",
         "Deck SPICE, linha 3: \"R1 1 0 rr\": o valor \"rr\" não é um número; um parâmetro se escreve {rr}"},
        {"t\n.subckt s 0 a\n.ends\n",
         "Deck SPICE, linha 2: \".subckt s 0 a\": o terra não pode ser um terminal do subcircuito"},
        {"t\n.param a={sqrt(-1)}\nR1 1 0 {a}\n",
         "Deck SPICE, linha 2: \".param a={sqrt(-1)}\": parâmetro a: expressão sem valor finito (divisão por "
         "zero ou fora do domínio): sqrt(-1)"},
        {"t\n.subckt s a b\nR1 a b {x}\n.ends\nX1 1 2 s\n",
         "Deck SPICE, linha 3 (em x1): \"R1 a b {x}\": parâmetro desconhecido: x"},
        {"t\n.param 1a=2\n", "Deck SPICE, linha 2: \".param 1a=2\": nome de parâmetro inválido: \"1a\""},
        {"t\n.param a 2\n", "Deck SPICE, linha 2: \".param a 2\": falta \"=\" depois de a"},
        {"t\nV1 1 0 ac 1 foo\n", "Deck SPICE, linha 2: \"V1 1 0 ac 1 foo\": campo inesperado \"foo\""},
        {"t\nR1 1 0 1k xyz=2\n",
         "Deck SPICE, linha 2: \"R1 1 0 1k xyz=2\": parâmetro xyz desconhecido ou não suportado"},
        {"t\nE1 1 0 2 0\n", "Deck SPICE, linha 2: \"E1 1 0 2 0\": falta o ganho"},
        {"t\nR1 1 0 1 tce=1 temp=50\n",
         "Deck SPICE, linha 2: \"R1 1 0 1 tce=1 temp=50\": parâmetro tce desconhecido ou não suportado"},
        {"t\nR1 1 0 {1+}\n", "Deck SPICE, linha 2: \"R1 1 0 {1+}\": expressão inválida (falta um valor): 1+"},
        {"t\n.include\n", "Deck SPICE, linha 2: \".include\": falta o nome do arquivo"},
        {"t\nV1 1 0 ac 1 pulse(0 1\n", "Deck SPICE, linha 2: \"V1 1 0 ac 1 pulse(0 1\": falta \")\""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.deck);
        EXPECT_EQ(refusal(k.deck), k.message);
    }
}

// Where a refused line comes from: an included file, an instance, a long
// line cut in the message.
TEST(SpiceRefusals, TheMessageSaysWhereTheLineIs) {
    const testing::Files files = {
        {"/decks/parts.inc", "* parts\n.subckt amp a b\nR1 a b 1k\nQ1 a b 0 qmod\n.ends\n"},
        {"/decks/self.inc", ".include self.inc\n"},
        {"/decks/two.lib", ".lib one\n.endl\n"},
    };
    struct Case {
        std::string deck;
        std::string message;
    };
    const Case cases[] = {
        {"t\n.include parts.inc\n.subckt outer p\nX9 p 0 amp\n.ends\nXtop 1 outer\n",
         "Deck SPICE, linha 4 de parts.inc (em xtop.x9): \"Q1 a b 0 qmod\": transistor bipolar (Q) com "
         ".model "
         "precisa de um ponto de operação, que a análise linear não calcula: escreva o seu modelo de "
         "pequenos "
         "sinais com R, C, G e E"},
        {"t\n.include self.inc\n",
         "Deck SPICE, linha 1 de self.inc: \".include self.inc\": arquivos incluídos uns nos outros fundo "
         "demais"},
        {"t\n.lib two.lib three\n",
         "Deck SPICE, linha 2: \".lib two.lib three\": a seção three não está em /decks/two.lib"},
        {"t\nR1 1 0 1\n+ 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25\n",
         "Deck SPICE, linha 2: \"R1 1 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20...\": campo "
         "inesperado \"2\""},
        {"título\nRÉSISTÊNCIA_ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ 1 0 {1/0}\n",
         "Deck SPICE, linha 2: \"RÉSISTÊNCIA_ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ...\": expressão sem valor finito (divisão "
         "por "
         "zero ou fora do domínio): 1/0"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.deck);
        EXPECT_EQ(refusal(k.deck, files), k.message);
    }
    // A deck that would grow without end is refused, however it recurses.
    std::string deep = "deep\n";
    for (int k = 0; k < 60; ++k)
        deep += ".subckt s" + std::to_string(k) + " a\nx1 a s" + std::to_string(k + 1) + "\n.ends\n";
    deep += ".subckt s60 a\nR1 a 0 1\n.ends\nx0 n s0\n";
    EXPECT_NE(refusal(deep).find("subcircuitos aninhados fundo demais"), std::string::npos);
    // An expression nested too deep for the evaluator is refused, not a crash.
    EXPECT_EQ(testing::element_lines(testing::translate("t\nR1 1 0 {" + std::string(150, '-') + "1}\n")),
              std::vector<std::string>{"R1 1 0 1"});
    EXPECT_NE(refusal("t\nR1 1 0 {" + std::string(250, '-') + "1}\n").find("(aninhamento profundo demais)"),
              std::string::npos);
    std::string wide = "wide\n.subckt leaf a\nR1 a 0 1\n.ends\n";
    for (int level = 0; level < 5; ++level) {
        wide += ".subckt l" + std::to_string(level) + " a\n";
        for (int k = 0; k < 10; ++k)
            wide += "x" + std::to_string(k) + " a " +
                    (level == 0 ? std::string("leaf") : "l" + std::to_string(level - 1)) + "\n";
        wide += ".ends\n";
    }
    wide += "xtop n l4\n";
    EXPECT_NE(refusal(wide).find("o circuito expandido passa de 20000 elementos"), std::string::npos);
}

}  // namespace
}  // namespace analysis::spice
