#pragma once

#include <QWidget>

namespace zelvano
{

struct AppServices;

// Today's lines of the draw record, newest first, and a button that shows
// the record's folder. Read once when opened; a second "抽取记录" brings
// the open window up again, read anew.
class DrawRecordWindow : public QWidget
{
    Q_OBJECT

public:
    static DrawRecordWindow* showFor(AppServices& services, QWidget* owner);

private:
    DrawRecordWindow(AppServices& services, QWidget* owner);
    void fill();

    AppServices& m_services;
};

} // namespace zelvano
