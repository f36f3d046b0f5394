#pragma once
#include <array>
#include <memory>
#include <vector>

#include <QWidget>

#include "hinting/stepping_session.h"
#include "sfnt/location.h"
#include "tables/font_state.h"
#include "ui/instructions/instruction_canvas.h"

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

// View > "Instructions": a glyph's TrueType instructions run a step at a
// time at a size, its points moving on the pixel grid, beside the program's
// listing and the interpreter's state. A shell over SteppingSession.
class InstructionsWindow : public QWidget {
    Q_OBJECT
public:
    explicit InstructionsWindow(QWidget* parent = nullptr);

    // Follows the main window: the font, its location and the glyph shown.
    void showGlyph(std::shared_ptr<const FontState> font, int glyph, const Location& location);
    const SteppingSession* session() const { return session_.get(); }

    void step();
    void stepOver();
    void stepOut();
    void runToEnd();
    void runToBreakpoint();
    void restart();
    void setPpem(int ppem);
    void setVersion(int version);
    void setProgram(Program program); // Glyph or Prep
    // Toggles a breakpoint on instruction `row` of `program`'s listing.
    void toggleBreakpoint(Program program, int row);

private:
    void load();
    void act(void (SteppingSession::*what)());
    void fillListings();
    void refresh();
    void markCurrent();
    void fillPanel();
    void describeSelected();
    QString pointName(ZonePoint point) const;
    QString breakMark(Program program, std::size_t offset) const;
    QListWidget* list(Program program) const { return lists_[std::size_t(program) - 1]; }

    QSpinBox* ppem_ = nullptr;
    QComboBox* version_ = nullptr;
    QComboBox* program_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* hover_ = nullptr;
    InstructionCanvas* canvas_ = nullptr;
    QTabWidget* listing_ = nullptr;
    std::array<QListWidget*, 3> lists_{};
    QTabWidget* panels_ = nullptr;
    QPlainTextEdit* stack_ = nullptr;
    QPlainTextEdit* storage_ = nullptr;
    QPlainTextEdit* cvt_ = nullptr;
    QPlainTextEdit* state_ = nullptr;
    QPlainTextEdit* calls_ = nullptr;
    QPlainTextEdit* moves_ = nullptr;

    std::shared_ptr<const FontState> font_;
    std::unique_ptr<SteppingSession> session_;
    int glyph_ = -1;
    Location location_;
    QListWidgetItem* current_ = nullptr;
};
