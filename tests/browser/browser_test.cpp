// The pages the wizard writes, as a browser builds them. The wizard is driven
// by clicks, "Im Browser ansehen" names the page, and one headless Chromium
// loads every page and reports what its document holds: the text as the
// reader sees it, the table's cells, the attributes and the computed styles.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser/chromium_session.h"
#include "wizard/wizard_driver.h"

namespace browsertest {
namespace {

using wizardtest::TWizardDriver;
using TTexts = std::vector<std::string>;

// What the document holds, read in the browser. Rows are named by their first
// cell's tag and their number of cells; images as "<img src>", line breaks
// as "<br>", texts with their white space collapsed. Chromium guesses the
// encoding of an unlabelled page from its bytes, so UTF-8 bytes would show
// the right characters too; the encoding it settled on tells them apart.
const char kReadDocument[] = R"js((() => {
  const text = node => node ? node.textContent.replace(/\s+/g, ' ').trim() : '';
  const fileOf = css => {
    const url = /^url\("(.*)"\)$/.exec(css);
    return url ? decodeURIComponent(url[1].split('/').pop()) : css;
  };
  const sources = cell => Array.from(cell.querySelectorAll('img')).map(image => image.getAttribute('src'));
  const rows = Array.from(document.querySelector('body > table').rows);
  const [corner, heading] = rows[0].cells;
  const firstCells = rows.slice(1).map(row => row.cells[0]);
  const linkCells = firstCells.filter(cell => cell.tagName === 'TD');
  const imageCell = firstCells.find(cell => cell.tagName === 'TH');
  const textCell = rows[1].cells[1];
  const font = heading.querySelector('b > font');
  const body = getComputedStyle(document.body);
  return {
    url: location.href,
    title: document.title,
    encoding: document.characterSet,
    body: [body.backgroundColor, fileOf(body.backgroundImage)],
    rows: rows.map(row => row.cells[0].tagName + row.cells.length),
    corner: [corner.getAttribute('height'), ...sources(corner)],
    heading: [text(heading), font.getAttribute('size'), font.getAttribute('color'), font.getAttribute('face'),
              ...sources(heading)],
    links: linkCells.map(cell => {
      const link = cell.querySelector('a');
      return text(link) + ' -> ' + link.getAttribute('href');
    }),
    linkLooks: linkCells.map(cell => {
      const look = getComputedStyle(cell.querySelector('a'));
      return [look.fontWeight, look.color, look.textDecorationLine, ...sources(cell),
              fileOf(getComputedStyle(cell).backgroundImage)].join(' ');
    }),
    text: text(textCell),
    bold: Array.from(textCell.querySelectorAll('b')).map(text),
    images: Array.from(imageCell.childNodes)
                .map(node => node.nodeName === 'IMG' ? '<img ' + node.getAttribute('src') + '>'
                             : node.nodeName === 'BR' ? '<br>' : text(node))
                .filter(part => part !== ''),
  };
})())js";

// What a phone's screen shows of the page: how wide the document is laid
// out, how tall the heading is on the screen, and which pictures lack an
// alt attribute.
const char kMeasureOnPhone[] = R"js((() => {
  const heading = document.querySelector('body > table').rows[0].cells[1].querySelector('b > font');
  return {
    scrollWidth: document.documentElement.scrollWidth,
    headingHeight: heading.getBoundingClientRect().height * visualViewport.scale,
    images: document.images.length,
    withoutAlt: Array.from(document.images).filter(image => !image.hasAttribute('alt'))
                    .map(image => image.getAttribute('src')),
  };
})())js";

// A caption with a quote, an ampersand, a less-than sign, an umlaut and an
// arrow that Windows-1252 lacks.
const QString kWideCaption = QStringLiteral("Blick über den \"See\" & <3 → Süd");

// The page with every option, a picture 1,200 pixels wide in the image list
// and in the text, and every picture it names beside it.
void PhoneRoad(TWizardDriver& w, bool forPhones) {
    wizardtest::EveryOptionRoad(w);
    w.AddImage(QStringLiteral("breit.png"), kWideCaption);
    w.Do({"TabSheet4", "Edit13=breit.png", "m", "BitBtn8"});
    if (forPhones) w.Do({"TabSheet1", "handy", "alttext"});
    const std::pair<const char*, QSize> pictures[] = {
        {"logo.png", {300, 80}}, {"ecke.gif", {60, 40}}, {"punkt.gif", {10, 10}},   {"zelle.gif", {50, 20}},
        {"x.jpg", {200, 150}},   {"y.jpg", {200, 150}},  {"breit.png", {1200, 800}}};
    // Browsers tell pictures by their bytes, not by their names' endings.
    for (const auto& [name, size] : pictures) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        if (!picture.save(QString::fromLatin1(name), "PNG"))
            throw std::runtime_error(std::string("cannot write ") + name);
    }
}

// The names the accessibility tree gives the pictures it does not pass over.
TTexts ImageNames(const QJsonArray& nodes) {
    TTexts names;
    for (const QJsonValue& value : nodes) {
        const QJsonObject node = value.toObject();
        if (node["ignored"].toBool() || node["role"].toObject()["value"] != QStringLiteral("image")) continue;
        names.push_back(node["name"].toObject()["value"].toString().toStdString());
    }
    return names;
}

std::string Utf8(const QJsonValue& value) {
    return value.toString().toStdString();
}

TTexts Utf8List(const QJsonValue& value) {
    TTexts texts;
    for (const QJsonValue& entry : value.toArray()) texts.push_back(Utf8(entry));
    return texts;
}

class BrowserPage : public ::testing::Test {
protected:
    // Every page is written first; then one browser reads them all.
    static void SetUpTestSuite() {
        const std::pair<const char*, std::function<void(TWizardDriver&)>> roads[] = {
            {"typical", wizardtest::TypicalRoad},
            {"every option", wizardtest::EveryOptionRoad},
            {"typed characters", wizardtest::UmlautRoad},
            {"for phones", [](TWizardDriver& w) { PhoneRoad(w, true); }},
            {"not for phones", [](TWizardDriver& w) { PhoneRoad(w, false); }},
        };
        pages_ = std::make_unique<QTemporaryDir>();
        const QString home = QDir::currentPath();
        try {
            std::map<std::string, QUrl> urls;
            int number = 0;
            for (const auto& [name, road] : roads) {
                // Each page in its own folder, under the default name.
                const QString folder = pages_->filePath(QString::number(++number));
                if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) throw std::runtime_error("no page folder");
                TWizardDriver wizard;
                road(wizard);
                wizard.Finish();
                const QList<QUrl> opened = wizard.ViewInBrowser();
                if (opened.size() != 1) throw std::runtime_error(std::string("no page to view for ") + name);
                urls[name] = opened.front();
                expectedUrls_[name] = QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("index.html")));
            }
            QDir::setCurrent(home);
            TChromiumSession chromium;
            for (const auto& [name, url] : urls)
                seen_[name] = chromium.Evaluate(url, QString::fromUtf8(kReadDocument)).toObject();
            // The page with the options last: the accessibility tree is
            // the last page's.
            chromium.EmulatePhone(360, 640);
            for (const char* name : {"not for phones", "for phones"})
                onPhone_[name] = chromium.Evaluate(urls.at(name), QString::fromUtf8(kMeasureOnPhone)).toObject();
            imageNames_ = ImageNames(chromium.AccessibilityNodes());
        } catch (const std::exception& error) {
            QDir::setCurrent(home);
            failure_ = error.what();
        }
    }
    static void TearDownTestSuite() { pages_.reset(); }

    void SetUp() override { ASSERT_EQ(failure_, "") << "the pages could not be read in the browser"; }

    static QJsonObject Seen(const std::string& page) { return seen_.at(page); }
    static QJsonObject OnPhone(const std::string& page) { return onPhone_.at(page); }
    static std::string ExpectedUrl(const std::string& page) {
        return expectedUrls_.at(page).toString(QUrl::FullyEncoded).toStdString();
    }

    static inline std::unique_ptr<QTemporaryDir> pages_;
    static inline std::map<std::string, QJsonObject> seen_;
    static inline std::map<std::string, QJsonObject> onPhone_;
    static inline TTexts imageNames_;
    static inline std::map<std::string, QUrl> expectedUrls_;
    static inline std::string failure_;
};

TEST_F(BrowserPage, TypicalRoadShowsEachPartInItsCell) {
    const QJsonObject seen = Seen("typical");
    EXPECT_EQ(Utf8(seen["url"]), ExpectedUrl("typical"));
    EXPECT_EQ(Utf8(seen["encoding"]), "windows-1252");
    EXPECT_EQ(Utf8(seen["title"]), "Neue Seite");
    EXPECT_EQ(Utf8List(seen["rows"]), (TTexts{"TH2", "TD2", "TD1", "TH1"}));
    EXPECT_EQ(Utf8List(seen["corner"]), (TTexts{"0"}));
    EXPECT_EQ(Utf8List(seen["heading"]), (TTexts{"Willkommen", "5", "#000000", "Arial", "bild.jpg"}));
    EXPECT_EQ(Utf8List(seen["links"]), (TTexts{"Home -> home.html", "Fotos -> fotos.html"}));
    EXPECT_EQ(Utf8List(seen["linkLooks"]),
              (TTexts{"400 rgb(0, 0, 238) underline none", "400 rgb(0, 0, 238) underline none"}));
    EXPECT_EQ(Utf8(seen["text"]), "Hallo! Schön, dass Sie da sind.");
    EXPECT_EQ(Utf8List(seen["bold"]), TTexts{});
    EXPECT_EQ(Utf8List(seen["images"]), (TTexts{"<br>", "<img foto.jpg>", "Urlaub"}));
    EXPECT_EQ(Utf8List(seen["body"]), (TTexts{"rgba(0, 0, 0, 0)", "hintergrund.jpg"}));
}

TEST_F(BrowserPage, EveryOptionTakesEffect) {
    const QJsonObject seen = Seen("every option");
    EXPECT_EQ(Utf8(seen["url"]), ExpectedUrl("every option"));
    EXPECT_EQ(Utf8(seen["encoding"]), "windows-1252");
    EXPECT_EQ(Utf8List(seen["rows"]), (TTexts{"TH2", "TD2", "TD1", "TH1"}));
    EXPECT_EQ(Utf8List(seen["corner"]), (TTexts{"40", "ecke.gif"}));
    EXPECT_EQ(Utf8List(seen["heading"]), (TTexts{"Alle Optionen", "8", "#AA0000", "Verdana", "logo.png"}));
    EXPECT_EQ(Utf8List(seen["links"]), (TTexts{"Start -> start.html", "Kontakt -> kontakt.html"}));
    // The style block makes the links bold, undecorated and coloured.
    EXPECT_EQ(Utf8List(seen["linkLooks"]),
              (TTexts{"700 rgb(17, 17, 17) none punkt.gif zelle.gif", "700 rgb(17, 17, 17) none punkt.gif zelle.gif"}));
    EXPECT_EQ(Utf8(seen["text"]), "Erste Zeile Zweite Zeile");
    EXPECT_EQ(Utf8List(seen["images"]),
              (TTexts{"<br>", "<br>", "<img x.jpg>", "Erstes Bild", "<br>", "<br>", "<img y.jpg>", "Zweites Bild"}));
    EXPECT_EQ(Utf8List(seen["body"]), (TTexts{"rgb(16, 32, 48)", "none"}));
}

TEST_F(BrowserPage, TypedCharactersArriveAsTyped) {
    const QJsonObject seen = Seen("typed characters");
    EXPECT_EQ(Utf8(seen["url"]), ExpectedUrl("typed characters"));
    EXPECT_EQ(Utf8(seen["encoding"]), "windows-1252");
    // A title holds text only: the typed markup shows as typed.
    EXPECT_EQ(Utf8(seen["title"]), "Über uns € → <b>fett</b>");
    EXPECT_EQ(Utf8List(seen["rows"]), (TTexts{"TH2", "TD2", "TH1"}));
    EXPECT_EQ(Utf8List(seen["heading"]), (TTexts{"Über uns € →", "5", "#000000", "Arial", "bild.jpg"}));
    EXPECT_EQ(Utf8List(seen["links"]), (TTexts{"Über uns → -> über-uns.html"}));
    // In the body the typed markup is markup: "fett" is bold.
    EXPECT_EQ(Utf8(seen["text"]), "Preise in € → fett Über uns");
    EXPECT_EQ(Utf8List(seen["bold"]), (TTexts{"fett"}));
    EXPECT_EQ(Utf8List(seen["images"]), (TTexts{"<br>", "<img foto.jpg>", "5 € → Über"}));
}

TEST_F(BrowserPage, ForPhonesFitsThePhoneAtFullSize) {
    const QJsonObject with = OnPhone("for phones");
    const QJsonObject without = OnPhone("not for phones");
    EXPECT_GT(without["scrollWidth"].toInt(), 360) << "without the option the phone lays the page out wider";
    EXPECT_LE(with["scrollWidth"].toInt(), 360);
    EXPECT_GE(with["headingHeight"].toDouble(), 2 * without["headingHeight"].toDouble())
        << with["headingHeight"].toDouble() << " against " << without["headingHeight"].toDouble();
}

TEST_F(BrowserPage, ImageDescriptionsNamePicturesByTheirCaptions) {
    const QJsonObject with = OnPhone("for phones");
    EXPECT_EQ(with["images"].toInt(), 8);
    EXPECT_EQ(Utf8List(with["withoutAlt"]), TTexts{});
    EXPECT_EQ(Utf8List(OnPhone("not for phones")["withoutAlt"]).size(), 8u);
    // The other pictures are decoration, passed over.
    EXPECT_EQ(imageNames_, (TTexts{"Erstes Bild", "Zweites Bild", kWideCaption.toStdString()}));
}

// A site of three pages the wizard wrote into one folder, all with the same
// links: each page opens, and each link leads to the page it names.
class BrowserSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* const pages[][2] = {{"index", "Start"}, {"ueber-mich", "Über mich"}, {"impressum", "Impressum"}};
        folder_ = std::make_unique<QTemporaryDir>();
        const QString home = QDir::currentPath();
        try {
            if (!QDir::setCurrent(folder_->path())) throw std::runtime_error("no site folder");
            {
                TWizardDriver wizard;
                for (const auto& [name, title] : pages)
                    wizard.AddLink(QString::fromUtf8(title), QString(name) + ".html");
                for (const auto& [name, title] : pages) {
                    wizard.Do({"TabSheet2"});
                    wizard.Type("Edit2", QString::fromUtf8(title));
                    wizard.Type("Edit5", QString::fromUtf8(title));
                    wizard.Type("Edit19", QString::fromLatin1(name));
                    wizard.Finish();
                }
            }
            QDir::setCurrent(home);
            TChromiumSession chromium;
            const QString whereAndTitle = QStringLiteral(
                "decodeURIComponent(location.pathname.split('/').pop()) + "
                "' ' + document.title");
            for (const auto& [name, title] : pages) {
                const QUrl url = QUrl::fromLocalFile(folder_->filePath(QString(name) + ".html"));
                const QJsonArray links =
                    chromium
                        .Evaluate(url, QStringLiteral("Array.from(document.links).map(a => [a.textContent, a.href])"))
                        .toArray();
                TTexts& arrived = arrived_[Utf8(chromium.Evaluate(url, whereAndTitle))];
                for (const QJsonValue& link : links)
                    arrived.push_back(Utf8(link.toArray()[0]) + " -> " +
                                      Utf8(chromium.Evaluate(QUrl(link.toArray()[1].toString()), whereAndTitle)));
            }
        } catch (const std::exception& error) {
            QDir::setCurrent(home);
            failure_ = error.what();
        }
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static inline std::unique_ptr<QTemporaryDir> folder_;
    // For each page opened ("index.html Start"), where each of its links led.
    static inline std::map<std::string, TTexts> arrived_;
    static inline std::string failure_;
};

TEST_F(BrowserSite, EachPageOpensAndItsLinksLeadToThePages) {
    ASSERT_EQ(failure_, "");
    const TTexts links{"Start -> index.html Start", "Über mich -> ueber-mich.html Über mich",
                       "Impressum -> impressum.html Impressum"};
    EXPECT_EQ(arrived_, (std::map<std::string, TTexts>{
                            {"index.html Start", links},
                            {"ueber-mich.html Über mich", links},
                            {"impressum.html Impressum", links},
                        }));
}

}  // namespace
}  // namespace browsertest
