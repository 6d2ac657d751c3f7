#pragma once

#include <QtGlobal>

class QLineEdit;

namespace qm {

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
qint16 CustomerKeyRule(qint16 code, QLineEdit *field, qint16 nullKeyCode);

}  // namespace qm
