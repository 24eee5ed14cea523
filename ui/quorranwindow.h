// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The one window: builds its controls from the placement table, binds the
// five text boxes to the field model and routes clicks to the handlers.

#include <QWidget>

#include <memory>
#include <thread>

namespace quorran {

class FieldModel;
class WidgetFields;

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

protected:
    bool event(QEvent *event) override;

private:
    void buildControls();
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
