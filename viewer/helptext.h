// The lines the viewer writes into its message window when it starts.
#pragma once

#include <string>
#include <vector>

namespace viewer {

inline std::vector<std::string> start_help_lines() {
    return {
        "Comparação de sensibilidades de pólos e zeros",
        "Versão 3.0 de 03/03/2012",
        "",
        "Este programa compara tabelas de pólos e zeros,",
        "com desvios, geradas pelo programa Morat e outros.",
        "",
        "No gráfico, os comandos são:",
        "Ins: Incluir as tabelas de um arquivo",
        "Del: Eliminar a tabela atual",
        "Enter: Selecionar tabela",
        "<,>: Selecionar pólo/zero",
        "A/a: Ampliar/reduzir os desvios",
        "c: Ligar/desligar cursor",
        "r: Ligar/desligar desvios das partes real e imaginária (retângulos)",
        "e: Ligar/desligar desvios com correlação (elipses)",
        "\" \": Centrar pólo/zero selecionado",
        "MostraValores,+,-: Mover, ampliar, reduzir escalas",
        "v/V: Listar erros (acima/abaixo)",
        "Esc: Especificar escalas",
        "t: Mostrar todas as tabelas (ajustar as escalas)",
        "Mouse: \"zoom\"",
    };
}

// The report of the slot allocation.
inline std::string allocation_report(int count) {
    return "Memória alocada para " + std::to_string(count) + " tabelas.";
}

}  // namespace viewer
