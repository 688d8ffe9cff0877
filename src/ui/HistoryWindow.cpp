#include "HistoryWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "AppIcon.h"
#include "Colours.h"
#include "Fonts.h"
#include "Texts.h"

namespace numira::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The table sorts by the number behind a cell, not by its text.
constexpr int kSortRole = Qt::UserRole + 1;
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb ToRgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

// What the window's look follows: the palette's colours of windows and of item views.
struct Look {
  bool dark;          // a dark palette: the chart's dark theme
  QColor markedCell;  // the background of the last proposal's cells
  QFont font;         // the window's font, also of the chart's axis labels
};

QChartView* BuildChart(const HistoryPage& page, const Look& look) {
  auto* series = new QBarSeries;
  std::uint64_t top = 0;
  for (const HistoryBars& bars : page.bars) {
    auto* set = new QBarSet(Q(bars.name));
    for (std::uint64_t v : bars.values) {
      *set << static_cast<qreal>(v);
      top = std::max(top, v);
    }
    for (std::size_t i = 0; i < bars.marked.size(); ++i)
      if (bars.marked[i]) set->selectBar(static_cast<int>(i));
    series->append(set);
  }
  series->setBarWidth(0.8);
  auto* chart = new QChart;
  // The theme first: it sets the colours and fonts that the lines below then adjust.
  chart->setTheme(look.dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
  chart->addSeries(series);
  // The theme recoloured the bars: the marked ones keep their colour.
  for (QBarSet* set : series->barSets()) set->setSelectedColor(ToQColor(kMarkedBar));
  auto* x = new QBarCategoryAxis;
  for (const std::string& c : page.categories) x->append(Q(c));
  x->setLabelsFont(look.font);
  // The axis would shorten even labels that fit to "…".
  x->setTruncateLabels(false);
  chart->addAxis(x, Qt::AlignBottom);
  series->attachAxis(x);
  auto* y = new QValueAxis;
  // Whole numbers as doubles: an integer format would show counts past 2^31 as negative.
  y->setLabelFormat(QStringLiteral("%.0f"));
  y->setRange(0, static_cast<qreal>(std::max<std::uint64_t>(top, 1)));
  y->applyNiceNumbers();
  y->setLabelsFont(look.font);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(y);
  chart->legend()->setVisible(page.bars.size() > 1);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setFont(look.font);
  chart->setMargins(QMargins(4, 4, 4, 4));
  auto* view = new QChartView(chart);
  view->setObjectName(QStringLiteral("chart"));
  view->setRenderHint(QPainter::Antialiasing);
  view->setAccessibleName(Q(page.chartName));
  view->setMinimumSize(320, 240);
  return view;
}

QTableView* BuildTable(const HistoryPage& page, const Look& look, QWidget* owner) {
  auto* model = new QStandardItemModel(static_cast<int>(page.rows.size()), static_cast<int>(page.columns.size()), owner);
  QStringList headers;
  for (const std::string& c : page.columns) headers << Q(c);
  model->setHorizontalHeaderLabels(headers);
  for (std::size_t r = 0; r < page.rows.size(); ++r)
    for (std::size_t c = 0; c < page.rows[r].size(); ++c) {
      const HistoryCell& cell = page.rows[r][c];
      auto* item = new QStandardItem(Q(cell.text));
      item->setEditable(false);
      item->setData(QVariant::fromValue<qulonglong>(cell.sortKey), kSortRole);
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (cell.marked) {
        item->setBackground(look.markedCell);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setToolTip(QString::fromUtf8(text::kLastProposalMark));
        item->setData(QString::fromUtf8(text::kLastProposalMark), Qt::AccessibleDescriptionRole);
      }
      model->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  auto* proxy = new QSortFilterProxyModel(owner);
  proxy->setSourceModel(model);
  proxy->setSortRole(kSortRole);
  auto* table = new QTableView;
  table->setObjectName(QStringLiteral("table"));
  table->setAccessibleName(Q(page.tableName));
  table->setModel(proxy);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->setSortingEnabled(true);
  table->sortByColumn(0, Qt::AscendingOrder);
  return table;
}

// One tab's content: the lines, then the chart above the table.
QWidget* BuildContent(const HistoryPage& page, const Look& look) {
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("content"));
  auto* layout = new QVBoxLayout(content);
  QStringList lines;
  for (const std::string& l : page.lines) lines << Q(l);
  auto* summary = new QLabel(lines.join('\n'));
  summary->setObjectName(QStringLiteral("summary"));
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(summary);
  if (!page.hasData) {
    layout->addStretch();
    return content;
  }
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(BuildChart(page, look));
  split->addWidget(BuildTable(page, look, content));
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 0);
  split->setSizes({330, 250});
  split->setChildrenCollapsible(false);
  layout->addWidget(split, 1);
  return content;
}

}  // namespace

HistoryWindow::HistoryWindow(QWidget* parent)
    : HistoryView(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("history"));
  setWindowTitle(QString::fromUtf8(text::kHistoryTitle));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setModal(false);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("history-tabs"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  // Room for 43 bars and their table, but never larger than the screen.
  QSize size(880, 680);
  if (const QScreen* s = QGuiApplication::primaryScreen())
    size = size.boundedTo(s->availableGeometry().size() * 9 / 10);
  resize(size);
}

void HistoryWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::PaletteChange && event->type() != QEvent::ApplicationPaletteChange) return;
  // The chart's theme and the marked cells follow the new palette.
  if (LookKey() == builtFor_) return;
  const std::vector<HistoryPage> pages = shown_;
  shown_.clear();
  ShowPages(pages);
}

std::array<QRgb, 4> HistoryWindow::LookKey() const {
  const QPalette& p = palette();
  return {p.color(QPalette::Window).rgb(), p.color(QPalette::WindowText).rgb(), p.color(QPalette::Base).rgb(),
          p.color(QPalette::Text).rgb()};
}

void HistoryWindow::ShowPages(const std::vector<HistoryPage>& pages) {
  const QPalette& p = palette();
  const Look look{IsDark(ToRgb(p.color(QPalette::Window))),
                  ToQColor(MarkedCellRgb({ToRgb(p.color(QPalette::Window)), ToRgb(p.color(QPalette::WindowText))},
                                         {ToRgb(p.color(QPalette::Base)), ToRgb(p.color(QPalette::Text))})), font()};
  builtFor_ = LookKey();
  const int current = tabs_->currentIndex();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const int index = static_cast<int>(i);
    QWidget* tab = tabs_->widget(index);
    if (!tab) {
      tab = new QWidget;
      tab->setObjectName(QStringLiteral("history-page-%1").arg(index));
      new QVBoxLayout(tab);
      tab->layout()->setContentsMargins(0, 0, 0, 0);
      tabs_->addTab(tab, QString());
    }
    tabs_->setTabText(index, Q(pages[i].tabName));
    if (i < shown_.size() && shown_[i] == pages[i]) continue;
    // A new table keeps the order the user chose in the old one.
    int sortColumn = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QWidget* old = tab->findChild<QWidget*>(QStringLiteral("content"), Qt::FindDirectChildrenOnly);
    if (old) {
      if (auto* table = old->findChild<QTableView*>(QStringLiteral("table"))) {
        sortColumn = table->horizontalHeader()->sortIndicatorSection();
        sortOrder = table->horizontalHeader()->sortIndicatorOrder();
      }
      delete old;
    }
    QWidget* content = BuildContent(pages[i], look);
    if (auto* table = content->findChild<QTableView*>(QStringLiteral("table"));
        table && sortColumn < table->model()->columnCount())
      table->sortByColumn(sortColumn, sortOrder);
    tab->layout()->addWidget(content);
  }
  if (current >= 0) tabs_->setCurrentIndex(current);
  shown_ = pages;
}

}  // namespace numira::ui
