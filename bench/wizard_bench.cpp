// The wizard's commands in the real window, offscreen: finishing a page
// with 10,000 entries in each list against the core's own generate and save
// of the same page, entering the lists, which must stay linear, and the
// missing-files check against listing the folders it looks into.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/goal_table.h"
#include "bench/sample_page.h"
#include "bench/scratch_dir.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "core/page_reader.h"
#include "wizard/missing_files.h"
#include "wizard/wizard_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString Sample(const char* prefix, std::size_t index) {
    return QString::fromLatin1(bench::SampleText(prefix, index));
}

// The wizard as the user has it after "Start": shown, on the page whose list
// is being filled.
std::unique_ptr<TForm3> ShownWizard(QWidget* TForm3::*page) {
    auto wizard = std::make_unique<TForm3>();
    wizard->show();
    wizard->PageControl1->setCurrentWidget((*wizard).*page);
    QCoreApplication::processEvents();
    return wizard;
}

// What the user types before each press, as the commands read the edits.
void PressNewLink(TForm3& wizard, std::size_t i) {
    wizard.Edit3->setText(Sample("Verweis", i));
    wizard.Edit4->setText(Sample("seite.html", i));
    wizard.SpeedButton2Click();
}

void PressAddLine(TForm3& wizard, std::size_t i) {
    wizard.Edit12->setText(Sample("Textzeile", i));
    wizard.Button1Click();
}

void PressNewImage(TForm3& wizard, std::size_t i) {
    wizard.Edit10->setText(Sample("bild.jpg", i));
    wizard.Edit11->setText(Sample("Bildtext", i));
    wizard.SpeedButton3Click();
}

std::unique_ptr<TForm3> FilledWizard(std::size_t entries) {
    auto wizard = ShownWizard(&TForm3::TabSheet1);
    for (std::size_t i = 0; i < entries; ++i) {
        PressNewLink(*wizard, i);
        PressAddLine(*wizard, i);
        PressNewImage(*wizard, i);
    }
    QCoreApplication::processEvents();
    return wizard;
}

// Until the missing-files check of the last finish has shown its line.
void WaitForMissingFilesCheck(TForm3& wizard) {
    const auto* check = wizard.findChild<wizard::TMissingFilesCheck*>();
    while (check->IsRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The click itself plus the events it leaves behind (layout, repaint), so
// that deferred work is not hidden from the figure: until the window is
// free again. The missing-files check runs beside it on a worker thread;
// it ends before the next click, outside the figure, so that no two
// finishes overlap.
void BM_Finish(benchmark::State& state) {
    auto wizard = FilledWizard(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        wizard->SpeedButton9Click();
        QCoreApplication::processEvents();
        state.SetIterationTime(Seconds(start));
        WaitForMissingFilesCheck(*wizard);
    }
}

// The core's replacement of a page it cannot tell from a foreign one: read
// back, generate, save. The finish reads back only a page its window did not
// write last (here it did); against generate+save alone it stands at about
// 2.6, see docs/performance.md.
void BM_CoreFinish(benchmark::State& state) {
    auto wizard = FilledWizard(static_cast<std::size_t>(state.range(0)));
    const core::TPageDescription page = wizard->DescribePage();
    core::SavePageLines(core::PageFileName(page), core::GeneratePage(page));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(core::ReadPage(core::ReadPageFile(core::PageFileName(page))));
        const core::TLineList lines = core::GeneratePage(page);
        core::SavePageLines(core::PageFileName(page), lines);
        state.SetIterationTime(Seconds(start));
    }
}

// A page's folder with half the names beside the page and half in a
// subfolder, every file there; the names as the page writes them.
std::vector<std::string> PictureFolder(std::size_t names) {
    const QDir folder(QStringLiteral("check"));
    folder.mkpath(QStringLiteral("bilder"));
    std::vector<std::string> onPage;
    for (std::size_t i = 0; i < names; ++i) {
        const std::string name = (i % 2 == 0 ? "" : "bilder/") + bench::SampleText("foto", i) + ".jpg";
        QFile file(folder.filePath(QString::fromStdString(name)));
        if (!file.exists() && !file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + name);
        onPage.push_back(name);
    }
    return onPage;
}

void BM_MissingFilesCheck(benchmark::State& state) {
    const std::vector<std::string> names = PictureFolder(static_cast<std::size_t>(state.range(0)));
    const QString folder = QDir(QStringLiteral("check")).absolutePath();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(wizard::CheckMissingFiles(folder, names));
        state.SetIterationTime(Seconds(start));
    }
}

// The floor: listing the two folders the check must look into, nothing
// more, as the check lists them.
void BM_ListFolders(benchmark::State& state) {
    PictureFolder(static_cast<std::size_t>(state.range(0)));
    const QDir::Filters entries = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(QDir(QStringLiteral("check")).entryList(entries));
        benchmark::DoNotOptimize(QDir(QStringLiteral("check/bilder")).entryList(entries));
        state.SetIterationTime(Seconds(start));
    }
}

using TPress = void (*)(TForm3&, std::size_t);

void EnterList(benchmark::State& state, TPress press, QWidget* TForm3::*page) {
    const auto presses = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        auto wizard = ShownWizard(page);
        const Clock::time_point start = Clock::now();
        for (std::size_t i = 0; i < presses; ++i) press(*wizard, i);
        QCoreApplication::processEvents();
        state.SetIterationTime(Seconds(start));
    }
}

void BM_EnterLinks(benchmark::State& state) {
    EnterList(state, PressNewLink, &TForm3::TabSheet3);
}
void BM_EnterLines(benchmark::State& state) {
    EnterList(state, PressAddLine, &TForm3::TabSheet4);
}
void BM_EnterImages(benchmark::State& state) {
    EnterList(state, PressNewImage, &TForm3::TabSheet5);
}

BENCHMARK(BM_Finish)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoreFinish)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MissingFilesCheck)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFolders)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterLinks)->Arg(10000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterLines)->Arg(10000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterImages)->Arg(10000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The page is written where the program would write it: the working
    // directory, here a scratch directory on the repository's file system.
    if (chdir(bench::ScratchDirectory().c_str()) != 0) return 2;

    using bench::TGoalRow;
    return bench::RunWithGoals(
        argc, argv,
        {
            TGoalRow{"finish, 10,000 entries vs core generate+save", "BM_Finish/10000", "BM_CoreFinish/10000", 2.0},
            TGoalRow{"missing-files check, 10,000 names vs listing the same folders", "BM_MissingFilesCheck/10000",
                     "BM_ListFolders/10000", 2.0},
            TGoalRow{"\"Neuer Link\" 20,000 vs 10,000 presses", "BM_EnterLinks/20000", "BM_EnterLinks/10000", 2.2},
            TGoalRow{"\"Hinzufügen\" 20,000 vs 10,000 presses", "BM_EnterLines/20000", "BM_EnterLines/10000", 2.2},
            TGoalRow{"\"Neues Bild\" 20,000 vs 10,000 presses", "BM_EnterImages/20000", "BM_EnterImages/10000", 2.2},
        });
}
