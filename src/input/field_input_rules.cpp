#include "input/field_input_rules.h"

#include "input/key_rule_filter.h"
#include "input/russian_typing.h"
#include "input/set_keyboard_layout.h"

#include <QLineEdit>

#include <array>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

using Filter = qint16 (*)(qint16, QLineEdit *, qint16);

void installRule(QLineEdit *field, Filter filter, qint16 nullKeyCode, KeyRuleFilter::Strictness strictness)
{
    if (field == nullptr)
        return;
    new KeyRuleFilter(
        field, [filter, nullKeyCode](qint16 code, QLineEdit *target) { return filter(code, target, nullKeyCode); },
        strictness);
}

}  // namespace

void installFieldInputRules(const ActTextFields &fields, qint16 nullKeyCode, KeyboardLayout &layout)
{
    using enum KeyRuleFilter::Strictness;
    for (QLineEdit *digitsOnly : {fields.inn, fields.yearMade, fields.registrationNumber, fields.taxInspectorate})
        installRule(digitsOnly, DigitKeyFilter, nullKeyCode, Strict);
    installRule(fields.serialNumber, SerialKeyFilter, nullKeyCode, Strict);
    installRule(fields.customer, customerKeyRule, nullKeyCode, Lenient);

    if (fields.customer != nullptr) {
        new LayoutOnFocus(fields.customer, layout, u"ru"_s);
        // Installed last, so it sees a key first and the key rule sees the
        // Russian letter it types.
        new RussianTyping(fields.customer, layout);
    }
}

namespace {

constexpr qint16 kBackspace = 8;

// One undoable edit that also reports textEdited, unlike setText().
void emptyField(QLineEdit *field)
{
    field->selectAll();
    field->del();
}

bool isDigit(qint16 code)
{
    return code >= '0' && code <= '9';
}

// The Russian letter and the Latin capital on the same key of the standard
// Russian and US keyboards. The Russian letters without a Latin twin
// (б, ж, х, ъ, э, ю, ё) are absent and therefore discarded.
constexpr std::array<std::pair<char16_t, char>, 26> kSameKeyLatin{{
    {u'а', 'F'}, {u'в', 'D'}, {u'г', 'U'}, {u'д', 'L'}, {u'е', 'T'}, {u'з', 'P'}, {u'и', 'B'}, {u'й', 'Q'}, {u'к', 'R'},
    {u'л', 'K'}, {u'м', 'V'}, {u'н', 'Y'}, {u'о', 'J'}, {u'п', 'G'}, {u'р', 'H'}, {u'с', 'C'}, {u'т', 'N'}, {u'у', 'E'},
    {u'ф', 'A'}, {u'ц', 'W'}, {u'ч', 'X'}, {u'ш', 'I'}, {u'щ', 'O'}, {u'ы', 'S'}, {u'ь', 'M'}, {u'я', 'Z'},
}};

// Windows-1251 holds "А".."Я" at 192..223 and "а".."я" at 224..255, both in
// alphabetical order without "ё", so one offset serves both cases.
qint16 latinOnSameKey(qint16 code)
{
    if (code < 192 || code > 255)
        return 0;
    const char16_t small = static_cast<char16_t>(u'а' + (code - 192) % 32);
    for (const auto &[russian, latin] : kSameKeyLatin) {
        if (russian == small)
            return latin;
    }
    return 0;
}

// The tests both filters make before any character rule, in this order:
// Backspace always deletes, even when it is also the clear-field key.
std::optional<qint16> editingKeyResult(qint16 code, QLineEdit *field, qint16 nullKeyCode)
{
    if (code == kBackspace)
        return kBackspace;
    if (code == nullKeyCode) {
        emptyField(field);
        return qint16(0);
    }
    return std::nullopt;
}

}  // namespace

qint16 DigitKeyFilter(qint16 code, QLineEdit *field, qint16 nullKeyCode)
{
    if (const auto result = editingKeyResult(code, field, nullKeyCode))
        return *result;
    return isDigit(code) ? code : 0;
}

qint16 SerialKeyFilter(qint16 code, QLineEdit *field, qint16 nullKeyCode)
{
    if (const auto result = editingKeyResult(code, field, nullKeyCode))
        return *result;
    if (isDigit(code))
        return code;
    if (code >= 'A' && code <= 'Z')
        return code;
    if (code >= 'a' && code <= 'z')
        return static_cast<qint16>(code - 32);
    return latinOnSameKey(code);
}

qint16 customerKeyRule(qint16 code, QLineEdit *field, qint16 nullKeyCode)
{
    if (code == nullKeyCode) {
        emptyField(field);
        return 0;
    }
    return code;
}

}  // namespace qm
