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

// Key filters of the act's text fields. Each receives the typed character
// code and the field it is typed into, and returns the code to insert
// instead: the same code, another one, or 0 to discard the key press.
// nullKeyCode is the code that empties the field ("KeyNull" of the settings).

// Digits only (INN, year, EKLZ number, inspectorate).
qint16 DigitKeyFilter(qint16 code, QLineEdit *field, qint16 nullKeyCode);

// Digits and Latin capitals (serial number). Small Latin letters become
// capitals; Russian letters become the Latin capital on the same key.
qint16 SerialKeyFilter(qint16 code, QLineEdit *field, qint16 nullKeyCode);

// Customer field: everything passes except nullKeyCode, which empties it.
qint16 customerKeyRule(qint16 code, QLineEdit *field, qint16 nullKeyCode);

}  // namespace qm
