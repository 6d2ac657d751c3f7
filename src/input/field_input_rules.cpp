#include "input/field_input_rules.h"

#include "app/act_data.h"
#include "input/key_filters.h"
#include "input/key_rule_filter.h"
#include "input/layout_on_focus.h"

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

void installFieldInputRules(const ActData &act, qint16 nullKeyCode, KeyboardLayout &layout)
{
    using enum KeyRuleFilter::Strictness;
    for (QLineEdit *digitsOnly : {act.txtINN, act.txtGodVyp, act.txtEKLZ, act.txtMIFNS})
        installRule(digitsOnly, DigitKeyFilter, nullKeyCode, Strict);
    installRule(act.txtZavNum, SerialKeyFilter, nullKeyCode, Strict);
    installRule(act.txtNameOrg, CustomerKeyRule, nullKeyCode, Lenient);

    if (act.txtNameOrg != nullptr)
        new LayoutOnFocus(act.txtNameOrg, layout, u"ru"_s);
}

}  // namespace qm
