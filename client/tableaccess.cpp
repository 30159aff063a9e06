#include "client/tableaccess.h"

#include "client/ballboard.h"
#include "client/cardgrid.h"
#include "client/chatentry.h"
#include "client/picturewidget.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPainter>

#include <vector>

namespace {

const char valueProperty[] = "quorvelAccessibleValue";

// One cell of a grid: no object of its own, so it asks the grid for everything.
class CellInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellInterface(QAccessibleInterface* grid, QWidget* widget, AccessibleCells* cells, int cell)
        : m_grid(grid), m_widget(widget), m_cells(cells), m_cell(cell)
    {
    }

    bool isValid() const override { return m_grid->isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_grid; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_cells->cellName(m_cell) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const QRect area = m_cells->cellArea(m_cell);
        return QRect(m_widget->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = m_widget->hasFocus() && m_cells->currentCell() == m_cell;
        s.invisible = !m_widget->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            m_cells->pressCell(m_cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* m_grid;
    QWidget* m_widget;
    AccessibleCells* m_cells;
    int m_cell;
};

// The grid: its children are its cells, made when first asked for.
class GridInterface : public QAccessibleWidget {
public:
    GridInterface(QWidget* widget, AccessibleCells* cells)
        : QAccessibleWidget(widget, QAccessible::Grouping), m_cells(cells),
          m_children(std::size_t(cells->cellCount()), 0)
    {
    }
    ~GridInterface() override
    {
        for (QAccessible::Id id : m_children)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(m_children.size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        QAccessible::Id& id = m_children[std::size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new CellInterface(const_cast<GridInterface*>(this), widget(), m_cells, index + 1));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (m_children[std::size_t(i)] &&
                QAccessible::accessibleInterface(m_children[std::size_t(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return widget()->hasFocus() ? child(m_cells->currentCell() - 1) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        for (int cell = 1; cell <= childCount(); ++cell)
            if (m_cells->cellArea(cell).contains(at))
                return child(cell - 1);
        return nullptr;
    }

private:
    AccessibleCells* m_cells;
    mutable std::vector<QAccessible::Id> m_children;
};

// A control whose text changes as the game goes: its name says what it is, its value what
// it shows now.
class ValueInterface : public QAccessibleWidget {
public:
    explicit ValueInterface(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? tableaccess::value(widget()) : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* tableInterface(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* cells = dynamic_cast<AccessibleCells*>(object))
        return new GridInterface(widget, cells);
    if (object->property(valueProperty).isValid())
        return new ValueInterface(widget);
    return nullptr;
}

void cellEvent(QWidget* grid, int cell, QAccessible::Event type)
{
    QAccessibleEvent event(grid, type);
    event.setChild(cell - 1);
    QAccessible::updateAccessibility(&event);
}

} // namespace

namespace tableaccess {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(tableInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void cellChanged(QWidget* grid, int cell)
{
    cellEvent(grid, cell, QAccessible::NameChanged);
}

void cellFocused(QWidget* grid, int cell)
{
    if (grid->hasFocus())
        cellEvent(grid, cell, QAccessible::Focus);
}

void setValue(QWidget* control, const QString& value)
{
    install();
    const bool first = !control->property(valueProperty).isValid();
    control->setProperty(valueProperty, value);
    // Qt makes a control's interface at its first change, maybe before it had a value: that
    // one goes, so that the next one asked for reads the value.
    if (first) {
        QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
        if (made && !dynamic_cast<ValueInterface*>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}

QString value(const QWidget* control)
{
    return control->property(valueProperty).toString();
}

void setUp(QWidget* window)
{
    if (auto* status = window->findChild<QLabel*>(QStringLiteral("label_status"))) {
        status->setAccessibleName(QStringLiteral("Status"));
        setValue(status, status->text());
    }
    auto* board = window->findChild<BallBoard*>();
    auto* cards = window->findChild<CardGrid*>();
    auto* entry = window->findChild<ChatEntry*>();
    if (board && cards && entry) {
        QWidget::setTabOrder(board, cards);
        QWidget::setTabOrder(cards, entry);
    }
}

bool arrowMove(int key, QPoint& place, QSize grid)
{
    QPoint to = place;
    switch (key) {
    case Qt::Key_Left:
        to.rx() -= 1;
        break;
    case Qt::Key_Right:
        to.rx() += 1;
        break;
    case Qt::Key_Up:
        to.ry() -= 1;
        break;
    case Qt::Key_Down:
        to.ry() += 1;
        break;
    default:
        return false;
    }
    // At an edge the mark stays where it is.
    if (QRect(QPoint(0, 0), grid).contains(to))
        place = to;
    return true;
}

bool isPressKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

QWidget* makeFocusMark(QWidget* grid)
{
    // Yellow inside a black edge: seen on the black board, the white cards and their red X.
    auto* mark = new PictureWidget(
        [](QPainter& p, const QRectF& r) {
            p.setPen(QPen(Qt::black, 4));
            p.drawRect(r.adjusted(2, 2, -2, -2));
            p.setPen(QPen(Qt::yellow, 2));
            p.drawRect(r.adjusted(2, 2, -2, -2));
        },
        grid);
    mark->setObjectName(QStringLiteral("focusmark"));
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->hide();
    return mark;
}

void placeFocusMark(QWidget* mark, const QRect& area)
{
    mark->setGeometry(area);
    mark->raise();
    mark->setVisible(mark->parentWidget()->hasFocus());
}

void askForAttention(QWidget* window)
{
    if (!window->isActiveWindow())
        QApplication::alert(window);
}

} // namespace tableaccess
