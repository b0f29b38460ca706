#pragma once

#include <QWidget>

class QCloseEvent;
class QLabel;
class QToolButton;
class TForm3;

// The title screen: the product name, "Start" to open the wizard and
// "Ende" to end the program. It is the main window; closing it ends the run.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // The wizard is created after this window; it is handed in once it exists.
    void SetWizard(TForm3* wizard);

    void SpeedButton2Click();  // "Start"
    void SpeedButton3Click();  // "Ende"

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TForm3* Wizard = nullptr;
};
