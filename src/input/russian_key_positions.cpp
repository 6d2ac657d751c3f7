#include "input/russian_key_positions.h"

namespace qm {

namespace {

struct KeyRow {
    quint32 firstKeycode;
    const char16_t *plain;
    const char16_t *shifted;
};

// X keycodes of the pc105 keyboard, row by row, and what the Russian layout
// (XKB "ru", the Windows layout) types there without and with Shift.
constexpr KeyRow kRows[] = {
    {10, u"1234567890-=", u"!\"№;%:?*()_+"},  // 1 … =
    {24, u"йцукенгшщзхъ", u"ЙЦУКЕНГШЩЗХЪ"},     // Q … ]
    {38, u"фывапролджэё", u"ФЫВАПРОЛДЖЭЁ"},     // A … ', then ` (keycode 49)
    {51, u"\\ячсмитьбю.", u"/ЯЧСМИТЬБЮ,"},      // \, then Z … /
    {94, u"/", u"|"},                            // the key left of Z on European keyboards
};

constexpr quint32 length(const char16_t *text)
{
    quint32 count = 0;
    while (text[count] != 0)
        ++count;
    return count;
}

}  // namespace

QChar russianCharacterAtKey(quint32 nativeScanCode, bool shifted)
{
    for (const KeyRow &row : kRows) {
        if (nativeScanCode >= row.firstKeycode && nativeScanCode < row.firstKeycode + length(row.plain))
            return QChar((shifted ? row.shifted : row.plain)[nativeScanCode - row.firstKeycode]);
    }
    return {};
}

}  // namespace qm
