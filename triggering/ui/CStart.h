#pragma once

#include <QDialog>

// The "Operating..." notice shown after Start and Stop: a small modal box
// without a title bar that closes itself, as if OK were pressed, after a
// while. The event loop keeps running meanwhile, so workers' updates arrive.
class CStart final : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDefaultMilliseconds = 4000;

    explicit CStart(int milliseconds = kDefaultMilliseconds, QWidget* parent = nullptr);
};
