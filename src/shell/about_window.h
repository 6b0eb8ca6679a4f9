#pragma once
// The About window: software, code, version and manual of this model, and the maker's address.
// Its texts are fixed English, so it has no Set_Lang.

#include <QDialog>

class QLabel;
class QPushButton;

namespace qm::gui {

class About_Window : public QDialog {
    Q_OBJECT

public:
    explicit About_Window(QWidget* parent = nullptr);

    // Opens the maker's home page; the logo and the address both lead here.
    void Label4Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Show();

    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* LbButton1 = nullptr;
};

} // namespace qm::gui
