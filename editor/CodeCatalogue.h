#pragma once

#include "editor/CodeSearch.h"

#include <QString>

#include <vector>

class QObject;

namespace keyloom {

class OnScreenKeyboard;

// One code the keyboard panel can record: a key, a menu item or the Delay button.
struct CatalogueEntry {
    QObject* control; // the button or menu item that records it
    QString caption;  // "Vol Up", "Left Shift", "Delay = 200 ms"
    QString place;    // where its control is: "Keyboard", "Media keys", ...
    CodeSearchEntry search;
};

// Every code the panel records as it stands: the LED menus of the LED buttons shown, the delay
// and the mouse moves with the slider's value. The menu buttons, which record nothing themselves,
// are left out.
std::vector<CatalogueEntry> CodeCatalogue(const OnScreenKeyboard& panel);

// A row of the finder's list: "Vol Up  -  e0 32  -  Media keys"; a modifier shows its press and
// its release ("12 / f0 12").
QString CatalogueRow(const CatalogueEntry& entry);

} // namespace keyloom
