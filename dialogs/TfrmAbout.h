#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace keyloom {

class Platform;

// The version, the build date and the documents area, with a button that opens the area.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "Version: 1.60";

    // documentsArea is read at every showing: the main window finds the area after creating this.
    TfrmAbout(Platform& platform, const std::filesystem::path& documentsArea, QWidget* parent = nullptr);

    // The date this program was built, as "Feb 14 2019".
    static QString BuildDate();

    void FormShow();
    void btnExploreClick();
    void Button1Click();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnExplore = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Platform& m_platform;
    const std::filesystem::path& m_documentsArea;
};

} // namespace keyloom
