#pragma once

#include <QtGlobal>

class QLineEdit;

namespace qm {

class KeyboardLayout;

// Installs the typing rules of the act's text fields: digits only in the INN,
// year, EKLZ number and inspectorate fields, digits and Latin capitals in the
// serial number, nullKeyCode empties any of them, and the customer field
// switches the keyboard to Russian when it gains focus, or types Russian by
// key position where the desktop cannot be switched. Text set by the
// program or pasted from the context menu is not filtered.
// The rules live as long as the fields; `layout` must outlive them.
struct ActTextFields {
    QLineEdit *taxInspectorate = nullptr;
    QLineEdit *customer = nullptr;
    QLineEdit *inn = nullptr;
    QLineEdit *serialNumber = nullptr;
    QLineEdit *yearMade = nullptr;
    QLineEdit *registrationNumber = nullptr;
};
void installFieldInputRules(const ActTextFields &fields, qint16 nullKeyCode, KeyboardLayout &layout);

}  // namespace qm
