#pragma once

#include <QString>

namespace qm::test {

// A settings file with every key: the given number of copies, KeyNull 127,
// two mechanics and two models (LF line ends; the reader takes both).
inline QString sampleSettings(int copies = 2)
{
    return QStringLiteral("[ActNumber]\nQuan=%1\n[System]\nKeyNull=127\n"
                          "[TechNames]\nTech1=Иванов И.И.\nTech2=Петров П.П.\n"
                          "[KKM]\nKKM1=ЭЛВЕС-МИКРО-К\nKKM2=Меркурий-115Ф\n")
        .arg(copies);
}

}  // namespace qm::test
