// The replica Panel4: every element by name, the geometry of a sample, and the model mirrored.

#include <QtTest/QtTest>

#include "lcd/FrameDecoder.h"
#include "lcd/LcdPanel.h"
#include "lcd/LcdWidgets.h"

using namespace kx::lcd;

class LcdPanelTest : public QObject {
  Q_OBJECT
 private slots:
  void everyModelElementIsANamedChild() {
    LcdPanel panel;
    QCOMPARE(panel.objectName(), QStringLiteral("Panel4"));
    for (int i = 0; i < kElementCount; ++i) {
      const QString name = QString::fromLatin1(kElementNames[i].data(),
                                               static_cast<qsizetype>(kElementNames[i].size()));
      auto* w = panel.findChild<QWidget*>(name);
      QVERIFY2(w, qPrintable(name));
      QCOMPARE(panel.element(static_cast<Element>(i)), w);
    }
    for (const char* name : {"KD1", "Shape5", "Shape14", "Shape15", "Label1", "Label17", "Panel5",
                             "Panel6", "Panel8", "MainDigitPanel"})
      QVERIFY2(panel.findChild<QWidget*>(QString::fromLatin1(name)), name);
  }

  void geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("battery") << "IGPower"
                             << "Panel4" << QRect(12, 9, 51, 25);
    QTest::newRow("link lit") << "CONok"
                              << "Panel4" << QRect(549, 5, 32, 32);
    QTest::newRow("bar panel") << "KD"
                               << "Panel4" << QRect(10, 40, 575, 63);
    QTest::newRow("left end") << "Bar0"
                              << "KD" << QRect(6, 14, 32, 49);
    QTest::newRow("first segment") << "BAR1"
                                   << "KD" << QRect(42, 26, 14, 32);
    QTest::newRow("bar2") << "bar2"
                          << "KD" << QRect(58, 26, 14, 32);
    QTest::newRow("narrow bar28") << "bar28"
                                  << "KD" << QRect(474, 26, 8, 32);
    QTest::newRow("bar29") << "bar29"
                           << "KD" << QRect(492, 26, 8, 32);
    QTest::newRow("right end") << "bar30"
                               << "KD" << QRect(514, 14, 39, 47);
    QTest::newRow("memory digit") << "stor2"
                                  << "Panel5" << QRect(32, 0, 18, 53);
    QTest::newRow("second row") << "Label9"
                                << "Panel8" << QRect(116, 0, 18, 53);
    QTest::newRow("main digit") << "LabelC"
                                << "MainDigitPanel" << QRect(184, -6, 40, 120);
    QTest::newRow("point") << "Point2"
                           << "MainDigitPanel" << QRect(166, 30, 12, 72);
    QTest::newRow("colon") << "T_dPoint1"
                           << "Panel6" << QRect(71, 0, 13, 53);
    QTest::newRow("G-ohm") << "Labgo1"
                           << "Panel4" << QRect(529, 204, 45, 27);
    QTest::newRow("PI") << "labp1"
                        << "Panel4" << QRect(530, 259, 23, 29);
    QTest::newRow("DC dash") << "Shape3"
                             << "Panel4" << QRect(138, 156, 9, 5);
  }
  void geometry() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    LcdPanel panel;
    auto* w = panel.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), rect);
  }

  void contents_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("face");
    QTest::addColumn<int>("size");
    QTest::newRow("USB") << "rsUSB"
                         << "USB" << int(Face::Arial) << 21;
    QTest::newRow("segment") << "bar17"
                             << "!" << int(Face::Bar) << 27;
    QTest::newRow("right end") << "bar30"
                               << "{" << int(Face::Bar) << 64;
    QTest::newRow("ohm") << "Labo"
                         << "*" << int(Face::Lcd) << 24;
    QTest::newRow("G-ohm with blank") << "Labgo1"
                                      << " G*" << int(Face::Lcd) << 24;
    QTest::newRow("second-row V") << "Label4"
                                  << "V" << int(Face::Unit) << 21;
    QTest::newRow("minutes") << "Labtime"
                             << " min : sec" << int(Face::Arial) << 19;
    QTest::newRow("S1") << "labs1"
                        << "S1 " << int(Face::Arial) << 20;
    QTest::newRow("memory sign") << "stor1"
                                 << "1" << int(Face::Lcd) << 48;
    QTest::newRow("main digit") << "LabelA"
                                << "8" << int(Face::Lcd) << 107;
  }
  void contents() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, face);
    QFETCH(int, size);
    LcdPanel panel;
    auto* label = panel.findChild<LcdLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->caption(), caption);
    QCOMPARE(int(label->face()), face);
    QCOMPARE(label->fontSize(), size);
  }

  void startsInTheDesignState() {
    LcdPanel panel;
    panel.show();
    for (int i = 0; i < kElementCount; ++i) {
      const auto e = static_cast<Element>(i);
      QCOMPARE(panel.element(e)->isVisibleTo(&panel), e != Element::CONok);
    }
    QCOMPARE(static_cast<LcdLabel*>(panel.element(Element::Label7))->caption(),
             QStringLiteral("0"));
    QCOMPARE(static_cast<LcdLabel*>(panel.element(Element::M_Time1))->caption(),
             QStringLiteral("8"));
  }

  void mirrorsTheModelAndOnlyWhatChanged() {
    kx::AppState state;
    LcdModel model;
    FrameDecoder decoder(model, state);
    decoder.setPauseMs(0);
    LcdPanel panel;
    panel.show();
    model.takeChanges();

    decoder.ShowDataTarn("000000050000000000000006EBB510000000000F0D0A");
    const auto changes = model.takeChanges();
    // Elements the frame leaves alone are not touched, even if the panel disagrees.
    panel.element(Element::powerV1)->hide();
    panel.mirror(model, changes);
    for (int i = 0; i < kElementCount; ++i) {
      const auto e = static_cast<Element>(i);
      if (e == Element::powerV1) continue;
      QCOMPARE(panel.element(e)->isVisibleTo(&panel), model.visible(e));
    }
    QVERIFY(!changes.test(index(Element::powerV1)));
    QVERIFY(!panel.element(Element::powerV1)->isVisibleTo(&panel));
    QCOMPARE(static_cast<LcdLabel*>(panel.element(Element::LabelC))->caption(),
             QStringLiteral("2"));
    QCOMPARE(static_cast<LcdLabel*>(panel.element(Element::LabelD))->caption(),
             QStringLiteral("5"));
    // A hidden digit keeps its caption.
    QCOMPARE(static_cast<LcdLabel*>(panel.element(Element::LabelA))->caption(),
             QStringLiteral("8"));
    QVERIFY(!panel.element(Element::LabelA)->isVisibleTo(&panel));
  }

  void drawsBlackSegmentsForADigit() {
    // A digit's caption is drawn as segments: "1" lights only the right side, "8" both.
    LcdLabel label(Face::Lcd, 107, false, Qt::AlignLeft, QStringLiteral("1"), nullptr);
    label.resize(40, 120);
    auto darkOnSide = [&](bool left) {
      QImage img = label.grab().toImage();
      int dark = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = left ? 0 : img.width() / 2; x < (left ? img.width() / 2 : img.width()); ++x)
          if (qGray(img.pixel(x, y)) < 100 && qAlpha(img.pixel(x, y)) > 200) ++dark;
      return dark;
    };
    QVERIFY(darkOnSide(false) > 100);
    QCOMPARE(darkOnSide(true), 0);
    label.setCaption(QStringLiteral("8"));
    QVERIFY(darkOnSide(true) > 100);
  }
};

QTEST_MAIN(LcdPanelTest)
#include "lcd_panel_test.moc"
