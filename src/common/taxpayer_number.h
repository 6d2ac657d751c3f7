#pragma once

#include <QStringView>

namespace qm {

// The customer's taxpayer number (ИНН) as the act carries it.
//
// A number of 10 digits (an organisation) or 12 digits (a person) ends in
// check digits; a mistyped digit almost always breaks them.
bool taxpayerNumberCheckDigitsHold(QStringView inn);

// Whether the act's ИНН must be confirmed by the mechanic before it goes onto
// a legal document: anything typed that is not 10 or 12 digits with sound
// check digits. An empty field is allowed and wants no confirmation, and
// neither does the single space the archive keeps for an empty one, which a
// recalled act brings back.
bool taxpayerNumberWantsConfirmation(QStringView inn);

}  // namespace qm
