#include "ui/instructions/instructions_window.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "hinting/opcodes.h"
#include "report/messages.h"
#include "ui/main/glyph_canvas.h"

namespace {

constexpr int MinPpem = 6, MaxPpem = 200, DefaultPpem = 12;
const QColor CurrentLine(255, 236, 150);

QString pixels(F26Dot6 v) { return QString::number(double(v) / 64.0, 'f', 2); }
QString vector(UnitVector v) { return QStringLiteral("(%1, %2)").arg(v.x / 16384.0, 0, 'f', 4).arg(v.y / 16384.0, 0, 'f', 4); }

QString programName(Program p)
{
    switch (p) {
    case Program::Fpgm: return QStringLiteral("fpgm");
    case Program::Prep: return QStringLiteral("prep");
    case Program::Glyph: break;
    }
    return QStringLiteral("glyph");
}

QString roundName(std::uint8_t r)
{
    static const char* names[] = {"half grid", "grid", "double grid", "down to grid", "up to grid", "off", "super", "super 45°"};
    return r < 8 ? names[r] : QString::number(r);
}

QPlainTextEdit* panel(QTabWidget* tabs, const QString& title)
{
    auto* text = new QPlainTextEdit;
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tabs->addTab(text, title);
    return text;
}

QPushButton* button(QHBoxLayout* row, const QString& text, const QKeySequence& key, const QString& name)
{
    auto* b = new QPushButton(text);
    b->setShortcut(key);
    b->setToolTip(QStringLiteral("%1 (%2)").arg(text, key.toString()));
    b->setObjectName(name);
    row->addWidget(b);
    return b;
}

} // namespace

InstructionsWindow::InstructionsWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Instructions");
    auto* controls = new QHBoxLayout;
    ppem_ = new QSpinBox;
    ppem_->setRange(MinPpem, MaxPpem);
    ppem_->setValue(DefaultPpem);
    ppem_->setSuffix(" ppem");
    ppem_->setObjectName("ppem");
    version_ = new QComboBox;
    version_->addItems({"Interpreter 40", "Interpreter 35"});
    version_->setObjectName("version");
    program_ = new QComboBox;
    program_->addItems({"Glyph program", "Control-value program"});
    program_->setObjectName("program");
    controls->addWidget(ppem_);
    controls->addWidget(version_);
    controls->addWidget(program_);
    controls->addStretch();
    auto* steps = new QHBoxLayout;
    connect(button(steps, "Step", Qt::Key_F11, "step"), &QPushButton::clicked, this, &InstructionsWindow::step);
    connect(button(steps, "Step Over", Qt::Key_F10, "stepOver"), &QPushButton::clicked, this, &InstructionsWindow::stepOver);
    connect(button(steps, "Step Out", Qt::SHIFT | Qt::Key_F11, "stepOut"), &QPushButton::clicked, this, &InstructionsWindow::stepOut);
    connect(button(steps, "Run to Breakpoint", Qt::Key_F5, "runToBreakpoint"), &QPushButton::clicked, this,
            &InstructionsWindow::runToBreakpoint);
    connect(button(steps, "Run to End", Qt::SHIFT | Qt::Key_F5, "runToEnd"), &QPushButton::clicked, this, &InstructionsWindow::runToEnd);
    connect(button(steps, "Restart", Qt::CTRL | Qt::Key_R, "restart"), &QPushButton::clicked, this, &InstructionsWindow::restart);
    steps->addStretch();

    canvas_ = new InstructionCanvas;
    status_ = new QLabel;
    status_->setWordWrap(true);
    hover_ = new QLabel;
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(controls);
    leftLayout->addLayout(steps);
    leftLayout->addWidget(canvas_, 1);
    leftLayout->addWidget(hover_);
    leftLayout->addWidget(status_);

    listing_ = new QTabWidget;
    for (const Program p : {Program::Glyph, Program::Prep, Program::Fpgm}) {
        auto* l = new QListWidget;
        l->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        l->setToolTip("Click a line to set or clear a breakpoint");
        l->setSelectionMode(QAbstractItemView::NoSelection); // the current line keeps its mark
        lists_[std::size_t(p) - 1] = l;
        listing_->addTab(l, programName(p));
        connect(l, &QListWidget::itemClicked, this, [this, p, l](QListWidgetItem* item) { toggleBreakpoint(p, l->row(item)); });
    }
    panels_ = new QTabWidget;
    stack_ = panel(panels_, "Stack");
    storage_ = panel(panels_, "Storage");
    cvt_ = panel(panels_, "CVT");
    state_ = panel(panels_, "Graphics state");
    calls_ = panel(panels_, "Calls");
    moves_ = panel(panels_, "Point");
    connect(panels_, &QTabWidget::currentChanged, this, &InstructionsWindow::fillPanel);
    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(listing_);
    right->addWidget(panels_);
    auto* split = new QSplitter;
    split->addWidget(left);
    split->addWidget(right);
    split->setSizes({620, 480});
    (new QVBoxLayout(this))->addWidget(split);
    resize(1100, 720);

    connect(ppem_, &QSpinBox::valueChanged, this, &InstructionsWindow::load);
    connect(version_, &QComboBox::currentIndexChanged, this, &InstructionsWindow::load);
    connect(program_, &QComboBox::currentIndexChanged, this, &InstructionsWindow::load);
    connect(canvas_, &InstructionCanvas::pointHovered, this, [this](ZonePoint p) { hover_->setText(pointName(p)); });
    connect(canvas_, &InstructionCanvas::pointSelected, this, [this] {
        panels_->setCurrentWidget(moves_);
        fillPanel();
    });
}

void InstructionsWindow::showGlyph(std::shared_ptr<const FontState> font, int glyph, const Location& location)
{
    if (font != font_) {
        canvas_->setSession(nullptr);
        font_ = std::move(font);
        session_ = font_ ? std::make_unique<SteppingSession>(*font_) : nullptr;
        canvas_->setSession(session_.get());
    }
    if (glyph != glyph_)
        canvas_->select({});
    glyph_ = glyph;
    location_ = location;
    load();
}

void InstructionsWindow::setPpem(int ppem) { ppem_->setValue(ppem); }
void InstructionsWindow::setVersion(int version) { version_->setCurrentIndex(version == 35 ? 1 : 0); }
void InstructionsWindow::setProgram(Program program) { program_->setCurrentIndex(program == Program::Prep ? 1 : 0); }

void InstructionsWindow::load()
{
    if (!session_ || glyph_ < 0)
        return;
    const int version = version_->currentIndex() == 1 ? 35 : 40;
    const Program program = program_->currentIndex() == 1 ? Program::Prep : Program::Glyph;
    session_->Load(glyph_, ppem_->value(), version, location_, program);
    hover_->clear();
    setWindowTitle(QStringLiteral("Instructions: glyph %1 at %2 ppem").arg(glyph_).arg(ppem_->value()));
    fillListings();
    refresh();
}

// One line per instruction, a push with its values, after its offset.
void InstructionsWindow::fillListings()
{
    current_ = nullptr;
    for (const Program p : {Program::Fpgm, Program::Prep, Program::Glyph}) {
        const Disassembly& d = session_->listing(p);
        QStringList lines;
        for (std::size_t k = 0; k < d.instructions.size(); ++k) {
            const ListedInstruction& ins = d.instructions[k];
            const std::size_t end = k + 1 < d.instructions.size() ? d.instructions[k + 1].line : d.lines.size();
            QStringList text;
            for (std::size_t line = ins.line; line < end && line < d.lines.size(); ++line)
                text << QString::fromStdString(d.lines[line]).simplified();
            // A definition is named by the number it defines, as the calls name it.
            const QString words = ins.defines ? QString::fromStdString(DefinitionName(ins)) : text.join(' ');
            lines << QStringLiteral("%1 %2  %3").arg(breakMark(p, ins.offset)).arg(ins.offset, 5).arg(words);
        }
        list(p)->clear();
        list(p)->addItems(lines);
    }
}

QString InstructionsWindow::breakMark(Program program, std::size_t offset) const
{
    return session_->IsBreakpoint(program, std::uint32_t(offset)) ? QStringLiteral("\u25CF") : QStringLiteral(" ");
}

void InstructionsWindow::toggleBreakpoint(Program program, int row)
{
    const Disassembly& d = session_->listing(program);
    if (row < 0 || std::size_t(row) >= d.instructions.size())
        return;
    const std::size_t offset = d.instructions[std::size_t(row)].offset;
    session_->ToggleBreakpoint(program, std::uint32_t(offset));
    QListWidgetItem* item = list(program)->item(row);
    item->setText(breakMark(program, offset) + item->text().mid(1));
}

// Each runs the session, then shows where it stopped.
void InstructionsWindow::act(void (SteppingSession::*what)())
{
    if (!session_)
        return;
    ((*session_).*what)();
    refresh();
}

void InstructionsWindow::step() { act(&SteppingSession::Step); }
void InstructionsWindow::stepOver() { act(&SteppingSession::StepOver); }
void InstructionsWindow::stepOut() { act(&SteppingSession::StepOut); }
void InstructionsWindow::runToEnd() { act(&SteppingSession::RunToEnd); }
void InstructionsWindow::runToBreakpoint() { act(&SteppingSession::RunToBreakpoint); }
void InstructionsWindow::restart() { act(&SteppingSession::Restart); }

// What a step changes: the picture, the current line, the status and the panel in view.
void InstructionsWindow::refresh()
{
    canvas_->update();
    markCurrent();
    fillPanel();
    const SteppingSession& s = *session_;
    const Execution& e = s.execution();
    QString text;
    if (!s.loaded())
        text = QString::fromStdString(s.note());
    else if (!e.failures.empty())
        text = QStringLiteral("After %1 instructions: %2").arg(e.executed).arg(QString::fromStdString(HintingStatus(e.failures.front())));
    else if (e.finished)
        text = QStringLiteral("Finished after %1 instructions.").arg(e.executed);
    else
        text = QStringLiteral("%1 instructions run; next: %2 at %3 %4.")
                   .arg(e.executed)
                   .arg(QString::fromStdString(Mnemonic(e.code[std::size_t(e.range) - 1][e.ip])))
                   .arg(programName(e.range))
                   .arg(e.ip);
    status_->setText(text);
    for (QWidget* w : findChildren<QPushButton*>())
        if (w->objectName() != "restart")
            w->setEnabled(s.loaded() && !e.finished);
}

// Marks the line of the next instruction and shows its program's listing.
void InstructionsWindow::markCurrent()
{
    if (current_)
        current_->setBackground(QBrush());
    current_ = nullptr;
    const Execution& e = session_->execution();
    if (!session_->loaded() || e.finished)
        return;
    const Disassembly& d = session_->listing(e.range);
    const auto it = std::lower_bound(d.instructions.begin(), d.instructions.end(), e.ip,
                                     [](const ListedInstruction& i, std::uint32_t ip) { return i.offset < ip; });
    if (it == d.instructions.end() || it->offset != e.ip)
        return;
    QListWidget* l = list(e.range);
    current_ = l->item(int(it - d.instructions.begin()));
    if (!current_)
        return;
    current_->setBackground(CurrentLine);
    listing_->setCurrentWidget(l);
    l->scrollToItem(current_);
}

// Only the panel in view is filled: a step stays cheap with a large CVT.
void InstructionsWindow::fillPanel()
{
    if (!session_)
        return;
    const Execution& e = session_->execution();
    QStringList lines;
    QPlainTextEdit* shown = static_cast<QPlainTextEdit*>(panels_->currentWidget());
    if (!session_->loaded()) {
        shown->clear();
        return;
    }
    if (shown == stack_) {
        for (std::size_t k = e.top; k-- > 0;)
            lines << QStringLiteral("%1  %2").arg(e.top - 1 - k, 4).arg(e.stack[k]);
    } else if (shown == storage_) {
        for (std::size_t k = 0; k < e.storage.size(); ++k)
            lines << QStringLiteral("%1  %2").arg(k, 4).arg(e.storage[k]);
    } else if (shown == cvt_) {
        const std::vector<F26Dot6>& start = session_->startCvt();
        const std::vector<std::int16_t>& units = session_->fontCvt();
        lines << "   #   units   start  current";
        for (std::size_t k = 0; k < e.cvt.size(); ++k)
            lines << QStringLiteral("%1 %2 %3 %4%5")
                         .arg(k, 4)
                         .arg(k < units.size() ? units[k] : 0, 7)
                         .arg(k < start.size() ? pixels(start[k]) : QString(), 7)
                         .arg(pixels(e.cvt[k]), 8)
                         .arg(k < start.size() && start[k] != e.cvt[k] ? " *" : "");
    } else if (shown == state_) {
        const GraphicsState& g = e.gs;
        lines << QStringLiteral("rp0 %1  rp1 %2  rp2 %3").arg(g.rp0).arg(g.rp1).arg(g.rp2)
              << QStringLiteral("zp0 %1  zp1 %2  zp2 %3").arg(g.gep0).arg(g.gep1).arg(g.gep2)
              << "projection vector " + vector(g.projVector) << "freedom vector    " + vector(g.freeVector)
              << "dual vector       " + vector(g.dualVector) << QStringLiteral("loop %1").arg(g.loop)
              << "round state " + roundName(g.roundState) << "minimum distance " + pixels(g.minimumDistance)
              << "control-value cut-in " + pixels(g.controlValueCutIn)
              << "single width cut-in " + pixels(g.singleWidthCutIn) << "single width value " + pixels(g.singleWidthValue)
              << QStringLiteral("delta base %1  delta shift %2").arg(g.deltaBase).arg(g.deltaShift)
              << QStringLiteral("instruct control %1").arg(g.instructControl)
              << QStringLiteral("auto flip %1").arg(g.autoFlip ? "on" : "off")
              << QStringLiteral("backward compatibility %1").arg(e.backwardCompatibility ? "on" : "off");
    } else if (shown == calls_) {
        for (std::size_t k = e.calls.size(); k-- > 0;) {
            const CallFrame& c = e.calls[k];
            lines << QStringLiteral("%1 %2, returns to %3 %4%5")
                         .arg(c.instruction ? "IDEF" : "FDEF")
                         .arg(c.definition)
                         .arg(programName(c.callerRange))
                         .arg(c.callerIp)
                         .arg(c.count > 1 ? QStringLiteral(" (%1 more times)").arg(c.count - 1) : QString());
        }
        lines << programName(e.initialRange) + " program";
    } else {
        describeSelected();
        return;
    }
    shown->setPlainText(lines.join('\n'));
}

// The selected point and the instructions that moved it.
void InstructionsWindow::describeSelected()
{
    const ZonePoint p = canvas_->selected();
    if (!p.valid()) {
        moves_->setPlainText("Click a point to list the instructions that moved it.");
        return;
    }
    QStringList lines{pointName(p)};
    const auto& moves = session_->movesOf(p.twilight, std::uint32_t(p.point));
    if (moves.empty())
        lines << "No instruction has moved it yet.";
    for (const SteppingSession::Move& m : moves)
        lines << QStringLiteral("step %1  %2 %3  %4: (%5, %6) to (%7, %8)")
                     .arg(m.step)
                     .arg(programName(m.program))
                     .arg(m.offset)
                     .arg(QString::fromStdString(Mnemonic(m.opcode)))
                     .arg(pixels(m.from.x), pixels(m.from.y), pixels(m.to.x), pixels(m.to.y));
    moves_->setPlainText(lines.join('\n'));
}

// A point named as the main window names it, with its place in pixels.
QString InstructionsWindow::pointName(ZonePoint point) const
{
    const Execution& e = session_->execution();
    const Zone& z = point.twilight ? e.twilight : e.glyph;
    if (!point.valid() || std::size_t(point.point) >= z.size())
        return {};
    const std::size_t i = std::size_t(point.point);
    const QString where = QStringLiteral("x %1, y %2 (was %3, %4)")
                              .arg(pixels(z.cur[i].x), pixels(z.cur[i].y), pixels(z.org[i].x), pixels(z.org[i].y));
    if (point.twilight)
        return QStringLiteral("Twilight point %1: %2").arg(i).arg(where);
    if (i >= session_->outlinePoints())
        return QStringLiteral("Phantom point %1 (%2): %3").arg(i).arg(i - session_->outlinePoints() + 1).arg(where);
    int contour = 0;
    while (std::size_t(contour) < z.ends.size() && std::size_t(z.ends[std::size_t(contour)]) < i)
        ++contour;
    return QStringLiteral("Point %1 of contour %2: %3, %4")
        .arg(i)
        .arg(contour)
        .arg(where)
        .arg(PointKindWords((z.tags[i] & TAG_ON) ? PointKind::OnCurve : PointKind::QuadraticOff));
}
