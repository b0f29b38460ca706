// "Vorschau": one keystroke in the wizard until the preview has drawn the
// page again, against the same engine loading the same bytes from a file,
// for a typical page and for one with 10,000 entries in each list. The
// pause after the last change is left out: it is waiting, not work.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <chrono>
#include <memory>

#include "app/start_window.h"
#include "bench/goal_table.h"
#include "bench/sample_page.h"
#include "bench/scratch_dir.h"
#include "core/page_generator.h"
#include "preview/engine_sandbox.h"
#include "wizard/wizard_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the events until the page has loaded; false after a minute.
bool WaitForLoad(QWebEnginePage* page) {
    QEventLoop loop;
    bool loaded = false;
    const auto done = QObject::connect(page, &QWebEnginePage::loadFinished, &loop, [&](bool) {
        loaded = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(done);
    return loaded;
}

// One character typed into the heading field, or taken back.
void Keystroke(QLineEdit* edit, bool erase) {
    QKeyEvent press(QEvent::KeyPress, erase ? Qt::Key_Backspace : Qt::Key_A, Qt::NoModifier,
                    erase ? QString() : QStringLiteral("a"));
    QCoreApplication::sendEvent(edit, &press);
}

void BM_PreviewUpdate(benchmark::State& state) {
    TForm1 start;
    TForm3* wizard = start.Wizard();
    wizard->LoadPageDescription(bench::SamplePage(static_cast<std::size_t>(state.range(0))));
    wizard->show();
    start.Preview().SetPause(0);
    start.Preview().Open();
    auto* view = start.Preview().Window()->findChild<QWebEngineView*>();
    if (view == nullptr || !WaitForLoad(view->page())) {
        state.SkipWithError("the preview did not load");
        return;
    }
    wizard->Edit5->setFocus();
    wizard->Edit5->end(false);
    bool erase = false;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Keystroke(wizard->Edit5, erase);
        if (!WaitForLoad(view->page())) state.SkipWithError("the preview did not load");
        state.SetIterationTime(Seconds(start));
        erase = !erase;
    }
}

void BM_EngineLoadsFile(benchmark::State& state) {
    const core::TLineList lines = core::GeneratePage(bench::SamplePage(static_cast<std::size_t>(state.range(0))));
    QFile file(QStringLiteral("vorschau.html"));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(lines.FileBytes().data(), static_cast<qint64>(lines.FileBytes().size())) < 0) {
        state.SkipWithError("cannot write the page");
        return;
    }
    file.close();
    QWebEngineProfile profile;
    QWebEngineView view;
    view.setPage(new QWebEnginePage(&profile, &view));
    view.resize(800, 600);
    view.show();
    const QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        view.load(url);
        if (!WaitForLoad(view.page())) state.SkipWithError("the page did not load");
        state.SetIterationTime(Seconds(start));
    }
    delete view.page();
}

BENCHMARK(BM_PreviewUpdate)->Arg(10)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineLoadsFile)->Arg(10)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The floor starts the engine itself, and may run before the preview's
    // plugin is loaded.
    preview::ChooseEngineSandbox();
    QApplication app(argc, argv);
    if (chdir(bench::ScratchDirectory().c_str()) != 0) return 2;

    using bench::TGoalRow;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"preview update after a keystroke, typical page, vs the engine loading the same bytes from a file",
                     "BM_PreviewUpdate/10", "BM_EngineLoadsFile/10", 1.5},
            TGoalRow{"the same, 10,000 links, text lines and images", "BM_PreviewUpdate/10000",
                     "BM_EngineLoadsFile/10000", 1.5},
        });
}
