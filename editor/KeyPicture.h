#pragma once

#include <QLabel>

namespace keyloom {

// One picture of a shaded key, raised (Up) or pressed (Down), with the key's caption. It lies
// over its key button and leaves every mouse event to the button.
class KeyPicture : public QLabel {
    Q_OBJECT
public:
    KeyPicture(QWidget* parent, const QString& name, const QRect& place, const QString& caption, bool down);
};

} // namespace keyloom
