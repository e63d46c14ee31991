#pragma once

#include <QMainWindow>

// The main window: everything about the one opened MP3 file.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

private:
    void captionSetzen(const QString &fileName);
};
