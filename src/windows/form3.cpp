#include "windows/form3.h"

#include "localisation/text_table.h"
#include "windows/link_label.h"
#include "windows/twips.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>

namespace vellumo {

namespace {
const QString credits = QStringLiteral("Bram, Lotte, Jeroen, Sanne, Pim,\r\n"
                                       "Daan, Femke, Joost, Ilse,\r\n"
                                       "Ruud, Maud, Teun\r\n");
} // namespace

Form3::Form3()
    : ToolDialog(QStringLiteral("About Vellumo"), 4755, 3300)
{
    setMouseTracking(true);
    const TextTable &texts = builtInTexts();

    Label1 = label(QStringLiteral("Vellumo v1.0"), twipsRect(120, 50, 4575, 375));
    QFont titleFont = Label1->font();
    titleFont.setFamilies({QStringLiteral("MS Sans Serif"), titleFont.family()});
    titleFont.setPointSizeF(13.5);
    Label1->setFont(titleFont);

    Label4 = label(QStringLiteral("\u00a9 2004 Corvath Software"), twipsRect(120, 480, 2895, 255));
    Label2 = label(texts.capMadeFor, twipsRect(120, 720, 4575, 255));
    Label5 = label(texts.capThanks, twipsRect(120, 960, 4575, 615));
    Label5->setWordWrap(true);

    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(twipsRect(120, 1680, 4455, 735));
    Text1->setPlainText(QString(credits).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
    Text1->setReadOnly(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->document()->setDocumentMargin(2);
    Text1->setFrameShape(QFrame::StyledPanel);
    Text1->setBackgroundRole(QPalette::Button);
    QPalette textPalette = Text1->palette();
    textPalette.setColor(QPalette::Base, textPalette.color(QPalette::Button));
    Text1->setPalette(textPalette);

    Frame1 = separatorLine(twipsRect(120, 2520, 4455, 135));

    Label3 = new LinkLabel(texts.capVisit, this);
    Label3->setGeometry(twipsRect(120, 2880, 1815, 255));
    // The link is as wide as its text, up to the OK button.
    Label3->setMaximumWidth(px(3480 - 120) - 4);
    Label3->setText(texts.capVisit);
    QPalette linkPalette = Label3->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label3->setPalette(linkPalette);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(twipsRect(3480, 2760, 1095, 375));
    Command1->setFocus();

    connect(Label3, &LinkLabel::mouseMoved, this, &Form3::Label3_MouseMove);
    connect(Label3, &LinkLabel::clicked, this, &Form3::Label3_Click);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

void Form3::mouseMoveEvent(QMouseEvent *event)
{
    // Movement over another control reaches the dialog too; only its own
    // surface counts.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void Form3::Label3_MouseMove()
{
    Label3->setUnderlined(true);
}

void Form3::Form_MouseMove()
{
    Label3->setUnderlined(false);
}

void Form3::Label3_Click()
{
    Label3->setUnderlined(false);
    emit visitRequested();
}

void Form3::Command1_Click()
{
    hide();
}

void Form3::applyCaptions(const TextTable &captions)
{
    Label3->setText(captions.capVisit);
    Label2->setText(captions.capMadeFor);
    Label5->setText(captions.capThanks);
}

} // namespace vellumo
