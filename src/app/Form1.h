#pragma once
#include "data/session/Class1.h"
#include "ui/Screen.h"

class QPlainTextEdit;
class QPushButton;

namespace nbk::app {

// A multi-line box as the session's FillText writes it: texts with CR LF line ends.
class PlainTextSink : public nbk::data::TextSink {
public:
    explicit PlainTextSink(QPlainTextEdit *box) : box_(box) {}
    QString text() const override;
    void setText(const QString &t) override;

private:
    QPlainTextEdit *box_;
};

// The query test window that opens after each login.
class Form1 : public nbk::ui::Screen {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;  // C_id>124
    QPushButton *Command2 = nullptr;  // All C_Id, Names

    // Text1 as FillText sees it (CR LF line ends).
    QString text() const { return sink_.text(); }

    QSize sizeHint() const override { return {480, 320}; }

    void command1Click();
    void command2Click();

private:
    void fill(const QString &query);
    PlainTextSink sink_;
};

}  // namespace nbk::app
