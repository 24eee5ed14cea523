// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Construction order: controls (with fonts, colours and texts), then their
// pixel geometry from the twips table at the screen's DPI and pixel ratio,
// then the button fonts shrunk where a caption would not fit, then the
// handlers. After that only the texts of the five text boxes change, and the
// geometry and captions again when the window moves to another screen or
// the screen's DPI changes.

#include "quorranwindow.h"

#include "announcement.h"
#include "conversions.h"
#include "logbox.h"
#include "placement.h"
#include "scaling.h"
#include "textbox.h"
#include "widgetfields.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

#ifdef QUORRAN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

// The icon images are compiled in: no image reader is looked up at start.
#include "icons/quorran-16.xpm"
#include "icons/quorran-32.xpm"

namespace quorran {

namespace {

const QColor kPanelBackground(212, 208, 200);

QFont face(const QString &family, double points, QFont::Weight weight = QFont::Normal)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QFont verdana() { return face(QStringLiteral("Verdana"), 8.83); }

// A group frame whose caption takes the button-text colour of the palette.
class ButtonTextGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void initStyleOption(QStyleOptionGroupBox *option) const override
    {
        QGroupBox::initStyleOption(option);
        // Styles differ in which of the two they draw the caption with.
        const QColor buttonText = palette().color(QPalette::ButtonText);
        option->textColor = buttonText;
        option->palette.setColor(QPalette::WindowText, buttonText);
    }
};

// A raised panel with a centred caption in colours of its own. It paints its
// background and caption itself, so neither the palette nor a style sheet can
// change their colours; the bevel is the style's.
class ColourPanel : public QLabel {
public:
    ColourPanel(const QString &caption, const QColor &textColour, QWidget *parent)
        : QLabel(caption, parent), m_textColour(textColour)
    {
    }

protected:
    void paintEvent(QPaintEvent * /*event*/) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kPanelBackground);
        drawFrame(&painter);
        painter.setFont(font());
        painter.setPen(m_textColour);
        const int bevel = lineWidth();
        painter.drawText(rect().adjusted(bevel, bevel, -bevel, -bevel), Qt::AlignCenter, text());
    }

private:
    QColor m_textColour;
};

QLabel *makePanel(QWidget *parent, const QString &name, const QString &caption, const QFont &font,
                  const QColor &textColour)
{
    auto *panel = new ColourPanel(caption, textColour, parent);
    panel->setObjectName(name);
    panel->setFont(font);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    QPalette palette = panel->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, kPanelBackground);
        palette.setColor(group, QPalette::WindowText, textColour);
    }
    panel->setPalette(palette);
    return panel;
}

TextBox *makeTextBox(QWidget *parent, const QString &name, const QString &accessibleName, const QFont &font)
{
    auto *box = new TextBox(parent);
    box->setObjectName(name);
    box->setFont(font);
    box->setAccessibleName(accessibleName);
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setAccessibleName(caption);
    return button;
}

// Shrinks the button's font until its caption fits within the style's
// contents rectangle less its button margin; a caption that fits keeps it.
void fitCaption(QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle *style = button->style();
    const int room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() -
                     style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    QFont font = button->font();
    const QFont original = font;
    while (QFontMetrics(font).horizontalAdvance(option.text) > room && font.pointSizeF() > 4.0)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != original)
        button->setFont(font);
}

template <typename T> T *child(const QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

} // namespace

void registerFontSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

std::jthread loadFontConfigurationEarly()
{
#ifdef QUORRAN_HAVE_FONTCONFIG
    return std::jthread([] { FcInit(); });
#else
    return {};
#endif
}

QuorranWindow::QuorranWindow(double scale, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_scale(scale > 0.0 ? scale : 1.0)
{
    // The style draws its group boxes from an image, and looking up a reader
    // for it loads every image-format plugin.
    m_imageReaders = std::jthread([] { QImageReader::supportedImageFormats(); });
    registerFontSubstitutes();
    setObjectName(QStringLiteral("Quorran"));
    setWindowTitle(QStringLiteral("Quorran"));
    QIcon icon;
    icon.addPixmap(QPixmap(quorran_32));
    icon.addPixmap(QPixmap(quorran_16));
    setWindowIcon(icon);
    // The window's default font, used by the plain frames and the buttons.
    setFont(scaled(face(QStringLiteral("MS Sans Serif"), 8.25)));
    buildControls();
    applyGeometry();
    watchScreen();
    connectHandlers();
}

QuorranWindow::~QuorranWindow() = default;

FieldModel &QuorranWindow::fields() { return *m_fields; }

void QuorranWindow::buildControls()
{
    makePanel(this, QStringLiteral("SSPanel1"), QStringLiteral("Quorran"),
              scaled(face(QStringLiteral("Verdana"), 12.2264)), QColor(0, 0, 255));

    auto *dapFrame = new ButtonTextGroupBox(QStringLiteral("Dom.Area.Port"), this);
    dapFrame->setObjectName(QStringLiteral("SSFrame1"));
    dapFrame->setFont(scaled(face(QStringLiteral("MS Sans Serif"), 7.4717)));
    const QFont boxFont = scaled(verdana());
    auto *dom = makeTextBox(dapFrame, QStringLiteral("dom"), QStringLiteral("Domain ID"), boxFont);
    auto *area = makeTextBox(dapFrame, QStringLiteral("area"), QStringLiteral("Area ID"), boxFont);
    auto *port = makeTextBox(dapFrame, QStringLiteral("port"), QStringLiteral("Port ID"), boxFont);

    auto *addrFrame = new QGroupBox(QStringLiteral("Address ID"), this);
    addrFrame->setObjectName(QStringLiteral("Frame1"));
    auto *addr = makeTextBox(addrFrame, QStringLiteral("addr"), QStringLiteral("Address ID"), boxFont);

    auto *toAddress = makeButton(this, QStringLiteral("SSCommand1"), QStringLiteral("From D.A.P to AddrID"));
    auto *toDap = makeButton(this, QStringLiteral("SSCommand2"), QStringLiteral("From AddrID to D.A.P"));

    auto *logFrame = new QGroupBox(QStringLiteral("Message Box"), this);
    logFrame->setObjectName(QStringLiteral("errorMsg"));
    auto *errorbox = new LogBox(logFrame);
    errorbox->setObjectName(QStringLiteral("errorbox"));
    errorbox->setFont(boxFont);
    errorbox->setAccessibleName(QStringLiteral("Message Box"));
    // Tells a screen reader what a conversion wrote into the log.
    new Announcement(this);

    makePanel(this, QStringLiteral("SSPanel2"), QStringLiteral("By the Quorran team"),
              scaled(face(QStringLiteral("Comic Sans MS"), 8.1509, QFont::Bold)), QColor(0, 0, 128));
    auto *exit = makeButton(this, QStringLiteral("SSCommand3"), QStringLiteral("Exit"));

    m_fields = std::make_unique<WidgetFields>(dom, area, port, addr, errorbox);
    for (const Field field : kAllFields)
        m_fields->setText(field, initialText(field));

    // The keyboard visits the controls that take the focus in tab-index order.
    QWidget::setTabOrder(toAddress, toDap);
    QWidget::setTabOrder(toDap, errorbox);
    QWidget::setTabOrder(errorbox, dom);
    QWidget::setTabOrder(dom, area);
    QWidget::setTabOrder(area, port);
    QWidget::setTabOrder(port, addr);
    QWidget::setTabOrder(addr, exit);
    toAddress->setFocus(Qt::OtherFocusReason);
}

QFont QuorranWindow::scaled(const QFont &font) const { return scaledFont(font, m_scale); }

double QuorranWindow::layoutDpi() const
{
    const QScreen *screen = this->screen();
    return (screen != nullptr ? screen->logicalDotsPerInch() : 96.0) * m_scale;
}

void QuorranWindow::applyGeometry()
{
    const double dpi = layoutDpi();
    const double ratio = devicePixelRatioF();
    for (const Placement &placement : kPlacements) {
        auto *control =
            findChild<QWidget *>(QLatin1String(placement.name.data(), static_cast<qsizetype>(placement.name.size())));
        control->setGeometry(pixelGeometry(placement, dpi, ratio));
    }
    setFixedSize(clientSize(dpi, ratio));
    for (const char *name : {"SSCommand1", "SSCommand2", "SSCommand3"}) {
        auto *button = child<QPushButton>(this, name);
        // Back to the window's font first: a caption shrunk for one screen
        // may fit at full size on another.
        button->setFont(QFont());
        fitCaption(button);
    }
}

// A desktop may also change its scale, and so the screen's DPI, while the
// program runs (an X11 desktop's settings daemon changes Xft/DPI). That is
// handled as a move to another screen.
void QuorranWindow::watchScreen()
{
    disconnect(m_screenDpi);
    if (QScreen *screen = this->screen()) {
        m_screenDpi = connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] {
            QEvent changed(QEvent::ScreenChangeInternal);
            QCoreApplication::sendEvent(this, &changed);
        });
    }
}

bool QuorranWindow::event(QEvent *event)
{
    if (event->type() != QEvent::ScreenChangeInternal)
        return QWidget::event(event);
    // Qt resolves each widget's fonts at the new DPI on this event, the
    // window's first; the controls get it here, before the layout and the
    // captions are fitted with their fonts, and again from Qt.
    const bool handled = QWidget::event(event);
    for (QWidget *control : findChildren<QWidget *>()) {
        QEvent changed(QEvent::ScreenChangeInternal);
        QCoreApplication::sendEvent(control, &changed);
    }
    watchScreen();
    applyGeometry();
    return handled;
}

void QuorranWindow::connectHandlers()
{
    connect(child<TextBox>(this, "dom"), &TextBox::clicked, this, &QuorranWindow::dom_Click);
    connect(child<TextBox>(this, "area"), &TextBox::clicked, this, &QuorranWindow::area_Click);
    connect(child<TextBox>(this, "port"), &TextBox::clicked, this, &QuorranWindow::port_Click);
    connect(child<TextBox>(this, "addr"), &TextBox::clicked, this, &QuorranWindow::addr_Click);
    connect(child<QPushButton>(this, "SSCommand1"), &QPushButton::clicked, this, &QuorranWindow::SSCommand1_Click);
    connect(child<QPushButton>(this, "SSCommand2"), &QPushButton::clicked, this, &QuorranWindow::SSCommand2_Click);
    connect(child<QPushButton>(this, "SSCommand3"), &QPushButton::clicked, this, &QuorranWindow::SSCommand3_Click);
}

void QuorranWindow::dom_Click() { m_fields->setText(Field::Dom, u""); }
void QuorranWindow::area_Click() { m_fields->setText(Field::Area, u""); }
void QuorranWindow::port_Click() { m_fields->setText(Field::Port, u""); }
void QuorranWindow::addr_Click() { m_fields->setText(Field::Addr, u""); }
void QuorranWindow::SSCommand1_Click() { announced(DapToAddress); }
void QuorranWindow::SSCommand2_Click() { announced(AddressToDap); }

// Runs a conversion and has the lines it wrote into the log spoken: all of
// them where it replaced the log, the new ones where it extended it.
void QuorranWindow::announced(void (*conversion)(FieldModel &))
{
    const auto *log = child<LogBox>(this, "errorbox");
    const QString before = log->text();
    conversion(*m_fields);
    const QString after = log->text();
    const bool extended = after.size() > before.size() && after.startsWith(before);
    findChild<Announcement *>()->announce(extended ? after.mid(before.size()) : after);
}

void QuorranWindow::SSCommand3_Click()
{
    // Ends the program at once: nothing is asked or saved.
    hide();
    QCoreApplication::exit(0);
}

} // namespace quorran
