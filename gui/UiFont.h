#pragma once

#include <QString>
#include <QStringList>

namespace keyloom {

// The first of the sans-serif faces that Windows programs are drawn with, or their common stand-ins,
// that is among the available families; empty when none is.
QString AvailableSansSerif(const QStringList& families);

// On a Windows whose UI font is missing (Wine without Windows' fonts), Qt falls back to the first
// family it knows, often a serif: the application then takes an available sans-serif face at the
// same size. Elsewhere, or when the UI font is there, it changes nothing.
void UseAvailableUiFont();

} // namespace keyloom
