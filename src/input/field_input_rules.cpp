#include "input/field_input_rules.h"

#include "input/key_filters.h"
#include "input/key_rule_filter.h"
#include "input/layout_on_focus.h"
#include "input/russian_typing.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace qm {

namespace {

using Filter = qint16 (*)(qint16, QLineEdit *, qint16);

void installRule(QLineEdit *field, Filter filter, qint16 nullKeyCode,
                 KeyRuleFilter::Strictness strictness)
{
    if (field == nullptr)
        return;
    new KeyRuleFilter(
        field,
        [filter, nullKeyCode](qint16 code, QLineEdit *target) {
            return filter(code, target, nullKeyCode);
        },
        strictness);
}

}  // namespace

void installFieldInputRules(const ActTextFields &fields, qint16 nullKeyCode, KeyboardLayout &layout)
{
    using enum KeyRuleFilter::Strictness;
    for (QLineEdit *digitsOnly : {fields.inn, fields.yearMade, fields.registrationNumber, fields.taxInspectorate})
        installRule(digitsOnly, DigitKeyFilter, nullKeyCode, Strict);
    installRule(fields.serialNumber, SerialKeyFilter, nullKeyCode, Strict);
    installRule(fields.customer, CustomerKeyRule, nullKeyCode, Lenient);

    if (fields.customer != nullptr) {
        new LayoutOnFocus(fields.customer, layout, u"ru"_s);
        // Installed last, so it sees a key first and the key rule sees the
        // Russian letter it types.
        new RussianTyping(fields.customer, layout);
    }
}

}  // namespace qm
