// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The one window: builds its controls from the placement table, binds the
// five text boxes to the field model and routes clicks to the handlers.

#include <QPointer>
#include <QWidget>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

class QPushButton;
class QScreen;
class QWindow;

namespace quorran {

class Announcement;
class FieldModel;
class LogBox;
class TextBox;
class WidgetFields;
struct Placement;

class QuorranWindow : public QWidget {
    Q_OBJECT
public:
    // `scale` enlarges the window and its fonts beyond what the screen's DPI
    // asks for (see takeOverScaling).
    explicit QuorranWindow(double scale = 1.0, QWidget *parent = nullptr);
    ~QuorranWindow() override;

    FieldModel &fields();
    // The dots per inch the window is laid out and its fonts drawn at.
    double layoutDpi() const;

    // Lays the window out anew, fonts and captions with it, at the DPI of
    // the screen it is on now: called when it moves to another screen and
    // when its screen's DPI changes.
    void followScreen();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    template <typename T> T *placed(T *control);
    void applyGeometry();
    void watchScreen();
    QFont scaled(const QFont &font) const;
    void connectHandlers();

    // Click handlers, one per control that reacts to a click.
    void dom_Click();
    void area_Click();
    void port_Click();
    void addr_Click();
    void SSCommand1_Click();
    void SSCommand2_Click();
    void SSCommand3_Click();
    void announced(void (*conversion)(FieldModel &));

    const double m_scale;
    TextBox *m_dom = nullptr;
    TextBox *m_area = nullptr;
    TextBox *m_port = nullptr;
    TextBox *m_addr = nullptr;
    LogBox *m_errorbox = nullptr;
    QPushButton *m_toAddress = nullptr;
    QPushButton *m_toDap = nullptr;
    QPushButton *m_exit = nullptr;
    Announcement *m_announcement = nullptr;
    // Each control with its place in the table.
    std::vector<std::pair<const Placement *, QWidget *>> m_placed;
    QPointer<QWindow> m_watchedWindow;
    // The screen the window was laid out for, whose DPI it follows.
    QPointer<QScreen> m_watchedScreen;
    QMetaObject::Connection m_screenDpi;
    std::unique_ptr<WidgetFields> m_fields;
    // Loads the image readers the style needs for its first paint while the
    // window is still being built.
    std::jthread m_imageReaders;
};

// Free faces that stand in for the window's fonts where those are missing.
void registerFontSubstitutes();

// Starts reading the system's font configuration on a thread of its own, so
// that it is ready, or nearly, when the window first needs a font. Called
// before the application object is made; the thread ends with the returned
// object.
std::jthread loadFontConfigurationEarly();

} // namespace quorran
