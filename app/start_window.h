#pragma once

#include <QWidget>
#include <memory>

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
    ~TForm1() override;

    // The wizard, hidden until "Start". It is made right after this window's
    // first frame, so that the user sees the program sooner; anything that
    // needs it earlier makes it at once.
    TForm3* Wizard();
    bool HasWizard() const { return wizard_ != nullptr; }

    void SpeedButton2Click();  // "Start"
    void SpeedButton3Click();  // "Ende"

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<TForm3> wizard_;
    bool wizardDue_ = false;
};
