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
#include <QByteArray>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QWindow>
#include <qdrawutil.h>

#include <string_view>
#include <utility>

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

template <typename Frame> Frame *makeFrame(QWidget *parent, const QString &name, const QString &caption)
{
    auto *frame = new Frame(caption, parent);
    frame->setObjectName(name);
    return frame;
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

// Finds the control's place in the table by its object name; the geometry
// is applied once all are built.
template <typename T> T *QuorranWindow::placed(T *control)
{
    const QByteArray name = control->objectName().toLatin1();
    const Placement *placement =
        findPlacement(std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    Q_ASSERT(placement != nullptr);
    m_placed.emplace_back(placement, control);
    return control;
}

void QuorranWindow::buildControls()
{
    placed(makePanel(this, QStringLiteral("SSPanel1"), QStringLiteral("Quorran"),
                     scaled(face(QStringLiteral("Verdana"), 12.2264)), QColor(0, 0, 255)));

    auto *dapFrame =
        placed(makeFrame<ButtonTextGroupBox>(this, QStringLiteral("SSFrame1"), QStringLiteral("Dom.Area.Port")));
    dapFrame->setFont(scaled(face(QStringLiteral("MS Sans Serif"), 7.4717)));
    const QFont boxFont = scaled(verdana());
    m_dom = placed(makeTextBox(dapFrame, QStringLiteral("dom"), QStringLiteral("Domain ID"), boxFont));
    m_area = placed(makeTextBox(dapFrame, QStringLiteral("area"), QStringLiteral("Area ID"), boxFont));
    m_port = placed(makeTextBox(dapFrame, QStringLiteral("port"), QStringLiteral("Port ID"), boxFont));

    auto *addrFrame = placed(makeFrame<QGroupBox>(this, QStringLiteral("Frame1"), QStringLiteral("Address ID")));
    m_addr = placed(makeTextBox(addrFrame, QStringLiteral("addr"), QStringLiteral("Address ID"), boxFont));

    m_toAddress = placed(makeButton(this, QStringLiteral("SSCommand1"), QStringLiteral("From D.A.P to AddrID")));
    m_toDap = placed(makeButton(this, QStringLiteral("SSCommand2"), QStringLiteral("From AddrID to D.A.P")));

    auto *logFrame = placed(makeFrame<QGroupBox>(this, QStringLiteral("errorMsg"), QStringLiteral("Message Box")));
    auto *log = new LogBox(logFrame);
    log->setObjectName(QStringLiteral("errorbox"));
    m_errorbox = placed(log);
    m_errorbox->setFont(boxFont);
    m_errorbox->setAccessibleName(QStringLiteral("Message Box"));
    // Tells a screen reader what a conversion wrote into the log.
    m_announcement = new Announcement(this);

    placed(makePanel(this, QStringLiteral("SSPanel2"), QStringLiteral("By the Quorran team"),
                     scaled(face(QStringLiteral("Comic Sans MS"), 8.1509, QFont::Bold)), QColor(0, 0, 128)));
    m_exit = placed(makeButton(this, QStringLiteral("SSCommand3"), QStringLiteral("Exit")));

    m_fields = std::make_unique<WidgetFields>(m_dom, m_area, m_port, m_addr, m_errorbox);
    for (const Field field : kAllFields)
        m_fields->setText(field, initialText(field));

    // The keyboard visits the controls that take the focus in tab-index order.
    QWidget::setTabOrder(m_toAddress, m_toDap);
    QWidget::setTabOrder(m_toDap, m_errorbox);
    QWidget::setTabOrder(m_errorbox, m_dom);
    QWidget::setTabOrder(m_dom, m_area);
    QWidget::setTabOrder(m_area, m_port);
    QWidget::setTabOrder(m_port, m_addr);
    QWidget::setTabOrder(m_addr, m_exit);
    m_toAddress->setFocus(Qt::OtherFocusReason);
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
    for (const auto &[placement, control] : m_placed)
        control->setGeometry(pixelGeometry(*placement, dpi, ratio));
    setFixedSize(clientSize(dpi, ratio));
    for (QPushButton *button : {m_toAddress, m_toDap, m_exit}) {
        // Back to the window's font first: a caption shrunk for one screen
        // may fit at full size on another.
        button->setFont(QFont());
        fitCaption(button);
    }
}

// The window's native window exists from its first show; a move to another
// screen is heard from there. Made at a place on another screen, the window
// is already on that one.
void QuorranWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QWindow *window = windowHandle();
    if (window != nullptr && window != m_watchedWindow) {
        m_watchedWindow = window;
        connect(window, &QWindow::screenChanged, this, &QuorranWindow::followScreen);
        if (window->screen() != m_watchedScreen)
            followScreen();
    }
}

// A desktop may also change its scale, and so the screen's DPI, while the
// program runs (an X11 desktop's settings daemon changes Xft/DPI). That is
// handled as a move to another screen.
void QuorranWindow::watchScreen()
{
    disconnect(m_screenDpi);
    m_watchedScreen = screen();
    if (m_watchedScreen != nullptr)
        m_screenDpi = connect(m_watchedScreen, &QScreen::logicalDotsPerInchChanged, this, &QuorranWindow::followScreen);
}

void QuorranWindow::followScreen()
{
    // Qt resolves a widget's font at its screen's DPI when the font is set,
    // and again on a move to another screen but not when the DPI changes in
    // place. A font set anew resolves only where it differs from the one the
    // widget has, so each own font is set to another one and back; the fonts
    // that are inherited follow. This comes before the layout, as the
    // captions are fitted with these fonts.
    QList<QWidget *> widgets = findChildren<QWidget *>();
    widgets.prepend(this);
    for (QWidget *widget : std::as_const(widgets)) {
        if (!widget->testAttribute(Qt::WA_SetFont))
            continue;
        const QFont own = widget->font();
        QFont other = own;
        other.setWordSpacing(own.wordSpacing() + 1);
        widget->setFont(other);
        widget->setFont(own);
    }
    watchScreen();
    applyGeometry();
}

void QuorranWindow::connectHandlers()
{
    connect(m_dom, &TextBox::clicked, this, &QuorranWindow::dom_Click);
    connect(m_area, &TextBox::clicked, this, &QuorranWindow::area_Click);
    connect(m_port, &TextBox::clicked, this, &QuorranWindow::port_Click);
    connect(m_addr, &TextBox::clicked, this, &QuorranWindow::addr_Click);
    connect(m_toAddress, &QPushButton::clicked, this, &QuorranWindow::SSCommand1_Click);
    connect(m_toDap, &QPushButton::clicked, this, &QuorranWindow::SSCommand2_Click);
    connect(m_exit, &QPushButton::clicked, this, &QuorranWindow::SSCommand3_Click);
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
    // Only this conversion's writes are news.
    m_fields->takeLogWrite();
    conversion(*m_fields);
    m_announcement->announce(m_fields->takeLogWrite().text);
}

void QuorranWindow::SSCommand3_Click()
{
    // Ends the program at once, as closing the window does: nothing is asked
    // or saved.
    window()->close();
}

} // namespace quorran
