#pragma once

#include <QtGlobal>

namespace qm {

struct ActData;
class KeyboardLayout;

// Installs the typing rules of the act's text fields: digits only in the INN,
// year, EKLZ number and inspectorate fields, digits and Latin capitals in the
// serial number, nullKeyCode empties any of them, and the customer field
// switches the keyboard to Russian when it gains focus. Text set by the
// program or pasted from the context menu is not filtered.
// The rules live as long as the fields; `layout` must outlive them.
void installFieldInputRules(const ActData &act, qint16 nullKeyCode, KeyboardLayout &layout);

}  // namespace qm
