// Drives the real viewer window on the offscreen platform: start-up,
// containers, zoom buttons, keys and the status bar.
#include <QFileDialog>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "app/viewer_app.h"
#include "container/errors.h"
#include "container_fixture.h"
#include "dialogs/modal_helper.h"

using qv::test::AnswerMessageBox;
using qv::test::WhenModal;

namespace {

const QString kReports = QStringLiteral(ONDIX_CORPUS_DIR "/reports-emf/");

QByteArray ReportPage(int i) {
    static const char* names[] = {"r01-vyplatni-paska-arial.emf", "r12-dodaci-list.emf",
                                  "r13-objednavka.emf", "r20-dochazka.emf"};
    return qv::test::ReadBytes(kReports + names[i % 4]);
}

// Answers the next password prompt with password, or cancels it when empty.
void AnswerPassword(const QString& password) {
    WhenModal<qv::TQVOPasswordDlg>([password](qv::TQVOPasswordDlg* dialog) {
        if (password.isEmpty()) {
            dialog->CancelBtn->click();
            return;
        }
        dialog->EdPassword->setText(password);
        dialog->OKBtn->click();
    });
}

}  // namespace

class ViewerTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    qv::TShowObject show_;
    int scaleAtCreation_ = 0;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<qv::TQVMain> Start(const QStringList& args, int expectedExit = 0) {
        int exitCode = -1;
        auto window = qv::CreateViewer(QStringList{"ondix"} + args, &show_, exitCode);
        if (exitCode != expectedExit) {
            qWarning("exit code %d", exitCode);
            return nullptr;
        }
        if (window) {
            scaleAtCreation_ = window->Prev->Scale();
            window->resize(1000, 800);
            window->show();
            QCoreApplication::processEvents();
        }
        return window;
    }

    QString Container(const QString& name, int pages, std::map<std::string, std::string> params,
                      const std::string& ext = ".EMF") {
        std::vector<uint8_t> payload;
        if (pages == 1) {
            payload = qv::test::Bytes(ReportPage(0));
        } else {
            std::vector<QByteArray> entries;
            for (int i = 0; i < pages; ++i) {
                entries.push_back(ReportPage(i));
            }
            payload = qv::test::InnerFileSet(entries);
            params["QVOOPCNT"] = std::to_string(pages);
        }
        qv::test::WriteTestContainer(Path(name), ext, payload, params);
        return Path(name);
    }

    void Open(qv::TQVMain& window, const QString& file, const QString& password = "heslo") {
        AnswerPassword(password);
        window.OpenFiles({file});
        QCoreApplication::processEvents();
    }

  private slots:
    void cleanup() { qv::test::CancelPendingModalHandlers(); }

    void initTestCase() {
        QVERIFY(dir_.isValid());
        QImage picture(400, 600, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(Path("page.jpg"), "JPG"));
        QFile bad(Path("bad.jpg"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
    }

    void startWithoutArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("missing file") << QStringList{"/no/such/file.emf"};
    }

    void startWithoutArgument() {
        QFETCH(QStringList, args);
        auto window = Start(args);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("Qelvar Ondix"));
        QVERIFY(window->SbSirka->isChecked());
        QCOMPARE(window->edScale->text(), QString::number(scaleAtCreation_));
        QCOMPARE(window->Prev->PageCount(), 0);
        QCOMPARE(window->StatusPanel[1]->text(), QString("0 Strana /0 Stran"));
    }

    void startWithPictureFitsPrintableArea() {
        auto window = Start({Path("page.jpg")});
        QVERIFY(window);
        QCOMPARE(window->Prev->PageCount(), 1);
        const qv::DeviceInfo& device = window->Prev->GetDeviceInfo();
        QCOMPARE(device.offsetLeft, 150);  // half an inch on the 300 dpi sheet
        const QRect target = window->Prev->Page(0).target;
        QVERIFY(target.left() >= 150 && target.top() >= 150);
        QCOMPARE(target.height(), device.physicalHeight - 300);
        QVERIFY(qAbs(target.center().x() - device.physicalWidth / 2) <= 1);
    }

    void unreadablePictureOnCommandLineEndsProgram() {
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        auto window = Start({Path("bad.jpg")}, 1);
        QVERIFY(!window);
        QVERIFY(seen->shown);
    }

    void startWithContainer() {
        const QString file = Container("one.qvo", 1, {{"QVONAME", "Mzdy"}});
        AnswerPassword("heslo");
        auto window = Start({file});
        QVERIFY(window);
        QCOMPARE(window->Prev->PageCount(), 1);
        QCOMPARE(window->windowTitle(), QString("QELVAR ONDIX (Mzdy)"));
    }

    void failuresShowOneMessage_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("wrong password") << "spatne" << false;
        QTest::newRow("damaged file") << "heslo" << true;
    }

    void failuresShowOneMessage() {
        QFETCH(QString, password);
        QFETCH(bool, damaged);
        auto window = Start({Path("page.jpg")});
        QString file = Container("fail.qvo", 1, {{"QVONAME", "X"}});
        if (damaged) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(40);
            f.write("garbage!");
        }
        if (!damaged) {
            AnswerPassword(password);
        }
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        window->OpenFiles({file});
        QVERIFY(seen->shown);
        QCOMPARE(seen->title, QString("Chyba hesla"));
        QCOMPARE(seen->text, QString("Soubor nebude zobrazen - chybné heslo"));
        QCOMPARE(window->Prev->PageCount(), 1);
        QCOMPARE(window->windowTitle(), QString("Qelvar Ondix"));
    }

    void cancelledPromptChangesNothing() {
        auto window = Start({Path("page.jpg")});
        const QString file = Container("cancel.qvo", 1, {{"QVONAME", "Mzdy"}});
        Open(*window, file, QString());
        QCOMPARE(window->Prev->PageCount(), 1);
        QCOMPARE(window->windowTitle(), QString("Qelvar Ondix"));
    }

    void captionRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("trimmed") << "  Výplatní pásky "
                                 << "QELVAR ONDIX (Výplatní pásky)";
        QTest::newRow("print output") << "Tiskový výstup"
                                      << "Qelvar Ondix";
        QTest::newRow("empty") << ""
                               << "QELVAR ONDIX ()";
    }

    void captionRules() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        auto window = Start({});
        std::map<std::string, std::string> params;
        if (!name.isEmpty()) {
            params["QVONAME"] = name.toStdString();
        }
        Open(*window, Container("caption.qvo", 1, params));
        QCOMPARE(window->windowTitle(), caption);
    }

    void containersOneAfterAnother() {
        auto window = Start({});
        Open(*window, Container("three.qvo", 3, {{"QVONAME", "Prvni"}}));
        QCOMPARE(window->Prev->PageCount(), 3);
        Open(*window, Container("two.qvo", 2, {{"QVONAME", "Druhy"}}));
        QCOMPARE(window->Prev->PageCount(), 5);
        QCOMPARE(window->windowTitle(), QString("QELVAR ONDIX (Druhy)"));
        Open(*window, Container("single.qvo", 1, {{"QVONAME", "Treti"}}));
        QCOMPARE(window->Prev->PageCount(), 1);
    }

    void containerScale_data() {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<bool>("applied");
        QTest::newRow("150") << "150" << true;
        QTest::newRow("399") << "399" << true;
        QTest::newRow("400") << "400" << false;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("no number") << "abc" << false;
    }

    void containerScale() {
        QFETCH(QString, scale);
        QFETCH(bool, applied);
        auto window = Start({});
        Open(*window, Container("scale.qvo", 1, {{"QVOSCALE", scale.toStdString()}}));
        if (applied) {
            QCOMPARE(window->Prev->Scale(), scale.toInt());
            QVERIFY(window->SBMeritko->isChecked());
            QCOMPARE(window->Zoom().FViewMode, 2);
        } else {
            QCOMPARE(window->Prev->GetScaleMode(), qv::ScaleMode::smPageWidth);
            QVERIFY(window->SbSirka->isChecked());
        }
    }

    void exportQuestionAndFile() {
        auto window = Start({Path("page.jpg")});
        const QByteArray payload("%PDF-1.4 payload bytes\n", 23);
        const QString file = Path("report.qvo");
        qv::test::WriteTestContainer(file, ".pdf", qv::test::Bytes(payload), {{"QVOSCALE", "150"}});
        const QString target = Path("report.PDF");  // the type as the container names it
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older file");
        old.close();

        // No: nothing is written, the pages stay, the scale still applies.
        AnswerPassword("heslo");
        auto question = AnswerMessageBox(QMessageBox::No);
        window->OpenFiles({file});
        QCOMPARE(question->title, QString("Export"));
        QCOMPARE(question->text,
                 QString("QView nepodporuje zobrazení souboru typu:.PDF.\n\rUmožní Vám ho však "
                         "Exportovat a uložit z QVO souboru na disk.\n\rChcete jej exportovat ? "));
        QCOMPARE(qv::test::ReadBytes(target), QByteArray("older file"));
        QCOMPARE(window->Prev->PageCount(), 1);
        QCOMPARE(window->Prev->Scale(), 150);

        // Yes: the save dialog proposes report.PDF and asks before replacing it.
        AnswerPassword("heslo");
        AnswerMessageBox(QMessageBox::Yes);
        QString proposed;
        std::shared_ptr<qv::test::SeenBox> replace;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            replace = AnswerMessageBox(QMessageBox::Yes);
            static_cast<QDialog*>(dialog)->accept();
        });
        window->OpenFiles({file});
        QCOMPARE(QFileInfo(proposed).fileName(), QString("report.PDF"));
        QVERIFY(replace && replace->shown);
        QCOMPARE(qv::test::ReadBytes(target), payload);
    }

    void zoomInFromPageWidth() {
        auto window = Start({Path("page.jpg")});
        const int pageWidth = window->Prev->Scale();
        QTest::mouseClick(window->SBZPlus, Qt::LeftButton);
        QCOMPARE(window->Prev->Scale(), pageWidth + 2);
        QVERIFY(window->SBMeritko->isChecked());
        QCOMPARE(window->Prev->CursorKind(), 1);
        QCOMPARE(window->edScale->text(), QString::number(pageWidth + 2));
        window->edScale->setText("250");
        QTest::mouseClick(window->BtNastav, Qt::LeftButton);
        QCOMPARE(window->Prev->Scale(), 250);
        QTest::mouseClick(window->SBm[5], Qt::LeftButton);
        QCOMPARE(window->Prev->Scale(), 120);
        QVERIFY(window->SBm[5]->isChecked());
        QTest::mouseClick(window->Prev->viewport(), Qt::LeftButton, Qt::AltModifier);
        QCOMPARE(window->Prev->Scale(), 115);
        QCOMPARE(window->Prev->CursorKind(), 2);
        QTest::mouseClick(window->SbSirka, Qt::LeftButton);
        QCOMPARE(window->Prev->Scale(), pageWidth);
        QCOMPARE(window->Zoom().FViewMode, 1);
    }

    void emptyScaleShowsGeneralError() {
        auto window = Start({Path("page.jpg")});
        window->edScale->setText("");
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        QTest::mouseClick(window->BtNastav, Qt::LeftButton);
        QVERIFY(seen->shown);
        QTest::mouseClick(window->SBZPlus, Qt::LeftButton);  // the preview still works
        QVERIFY(window->Prev->Scale() > 1);
    }

    // An error escaping an event handler shows its message; the program goes on.
    void uncaughtErrorShowsMessage() {
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        QTimer::singleShot(0, qApp, [] { throw qv::Error("Chyba při čtení"); });
        QTRY_VERIFY(seen->shown);
        QCOMPARE(seen->text, QString("Chyba při čtení"));
    }

    void navigationKeysAndStatus() {
        auto window = Start({});
        Open(*window, Container("nav.qvo", 4, {}));
        QCOMPARE(window->StatusPanel[1]->text().endsWith("/4 Stran"), true);
        window->Prev->setFocus();
        QTest::keyClick(window->Prev, Qt::Key_PageDown);
        QCOMPARE(window->Prev->TopRow(), 1);
        QTest::keyClick(window->Prev, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window->Prev->TopRow(), window->Prev->RowCount() - 1);
        QTest::keyClick(window->Prev, Qt::Key_PageUp);
        QCOMPARE(window->Prev->TopRow(), window->Prev->RowCount() - 2);
        QTest::keyClick(window->Prev, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(window->Prev->TopRow(), 0);
        QTest::keyClick(window->Prev, Qt::Key_PageUp);
        QCOMPARE(window->Prev->TopRow(), 0);

        // Dragging the first page's top out of view: the hint names the next.
        window->Prev->verticalScrollBar()->setValue(1);
        QCOMPARE(window->Prev->TopRow(), 1);
        QCOMPARE(QToolTip::text(), QString("Strana 2"));
        window->Prev->verticalScrollBar()->setValue(0);

        QScrollBar* vertical = window->Prev->verticalScrollBar();
        const int before = vertical->value();
        QTest::keyPress(window->Prev, Qt::Key_Down);
        QCOMPARE(vertical->value(), before);  // arrows scroll when released
        QTest::keyRelease(window->Prev, Qt::Key_Down);
        QVERIFY(vertical->value() > before);
    }

    void statusTextsFollowSelection() {
        auto window = Start({});
        Open(*window, Container("status.qvo", 3, {}));
        window->Prev->BeginUpdate();
        window->Prev->EndUpdate();
        QCOMPARE(window->StatusPanel[1]->text(), QString("0 Strana /3 Stran"));
        window->Prev->viewport()->repaint();
        QCOMPARE(window->StatusPanel[1]->text().endsWith(" Strana /3 Stran"), true);
        QVERIFY(window->StatusPanel[1]->text() != QString("0 Strana /3 Stran"));
        window->Zavtnhled1->trigger();
        QCOMPARE(window->StatusPanel[1]->text(), QString("0 Strana /0 Stran"));
    }

    void openSelectionLoadsEachByExtension() {
        auto window = Start({});
        QFile::copy(kReports + "r13-objednavka.emf", Path("a.emf"));
        QFile::copy(Path("page.jpg"), Path("b.jpeg"));
        window->OpenFiles({Path("a.emf"), Path("notes.txt"), Path("b.jpeg"), Path("page.jpg")});
        QCOMPARE(window->Prev->PageCount(), 2);  // .jpeg is seen as .JPE and skipped
        window->Zavtnhled1->trigger();
        QCOMPARE(window->Prev->PageCount(), 0);

        QFile::copy(kReports + "r13-objednavka.emf", Path("c.emf2"));
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        window->OpenFiles({Path("a.emf"), Path("c.emf2"), Path("page.jpg")});
        QVERIFY(seen->shown);  // the loader rejects emf2; the rest is not loaded
        QCOMPARE(window->Prev->PageCount(), 0);
        window->Loader().RebuildPages();
        QCOMPARE(window->Prev->PageCount(), 2);  // a.emf and a blank page
    }

    void openUnknownTypeIsRefused() {
        auto window = Start({Path("page.jpg")});
        auto seen = AnswerMessageBox(QMessageBox::Ok);
        window->OpenFiles({Path("notes.txt"), Path("page.jpg")});
        QVERIFY(seen->shown);
        QCOMPARE(seen->title, QString("Upozornění"));
        QCOMPARE(seen->text, QString("Neznámý typ souboru. Soubor nelze načíst"));
        QCOMPARE(window->Prev->PageCount(), 1);
        window->Prev->BeginUpdate();  // the next change shows the refused file's name
        window->Prev->EndUpdate();
        QCOMPARE(window->StatusPanel[0]->text(), QString("notes.txt"));
    }
};

int main(int argc, char** argv) {
    qv::OndixApplication app(argc, argv);
    ViewerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "viewer_test.moc"
