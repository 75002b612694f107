// What a key typed into a long note costs the main thread: the key handled, the note given to the
// store and every view of the notes brought up to date, and the frame painted. Home's workspace and
// the notch's notes tab, each over 20 notes with the one typed into 10 KB or 100 KB long, are set
// against a bare QPlainTextEdit of their editor's size, font and text in the same run. The goal is at
// most 1.5 times the bare editor's CPU time per key. The keys alternate a letter and Backspace at
// the end of the note, so the note keeps its length however long the run.

#include "../tests/control-center/HomeTestSupport.h"
#include "control-center/HomeWorkspace.h"
#include "notch/NotchNotesView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

using namespace vantrel;

namespace {

// About `bytes` of prose in lines of about 70 characters.
QString longBody(qsizetype bytes) {
    static const QString kLine =
        QStringLiteral("Pack the tent, two lamps and the long rope before Friday's train north.\n");
    QString body = QStringLiteral("Trip to the lake house\n");
    while (body.size() < bytes) body += kLine;
    return body;
}

// One key into `editor` as the keyboard gives it, then the frame it asks for painted.
void typeKey(QWidget* editor, bool letter) {
    const int key = letter ? Qt::Key_A : Qt::Key_Backspace;
    const QString text = letter ? QStringLiteral("a") : QStringLiteral("\b");
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(editor, &release);
    QCoreApplication::processEvents();
}

// Types into `editor`, its caret at the end, one key per iteration.
void typeInto(benchmark::State& state, QPlainTextEdit* editor) {
    editor->activateWindow();
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    bool letter = true;
    for (auto _ : state) {
        typeKey(editor, letter);
        letter = !letter;
    }
    state.SetItemsProcessed(state.iterations());
}

// The harness's notes: 19 short ones and the long one typed into, selected.
void fillNotes(test::HomeHarness& f, qsizetype bytes) {
    for (int i = 0; i < 19; ++i)
        f.note(QStringLiteral("Note %1").arg(i), QStringLiteral("A few words about item %1.").arg(i));
    const QString body = longBody(bytes);
    f.note(body.section(QLatin1Char('\n'), 0, 0), body.section(QLatin1Char('\n'), 1));
}

// Home's workspace and the notch's notes tab at the sizes they have in their windows.
struct Home {
    explicit Home(qsizetype bytes) {
        fillNotes(f, bytes);
        workspace.resize(760, 420);
        workspace.show();
    }
    QPlainTextEdit* editor() const { return workspace.editor(); }
    test::HomeHarness f;
    HomeActions actions{f.home};
    HomeWorkspace workspace{f.home, actions};
};
struct Notch {
    explicit Notch(qsizetype bytes) {
        fillNotes(f, bytes);
        view.resize(720, 300);
        view.show();
    }
    QPlainTextEdit* editor() const { return view.editor(); }
    test::HomeHarness f;
    NotchNotesView view{f.c.stores.notes, QColor(10, 132, 255), f.c.h.clock};
};

// A bare QPlainTextEdit as large as the view's editor, in its font and margins, holding its text.
template <typename View> void bareEditorLike(benchmark::State& state) {
    QPlainTextEdit editor;
    {
        const View view(state.range(0));
        QCoreApplication::processEvents();
        editor.setFont(view.editor()->font());
        editor.document()->setDocumentMargin(view.editor()->document()->documentMargin());
        editor.resize(view.editor()->size());
        editor.setPlainText(view.editor()->toPlainText());
    }
    editor.show();
    typeInto(state, &editor);
}
template <typename View> void typeIntoView(benchmark::State& state) {
    View view(state.range(0));
    typeInto(state, view.editor());
}
// The same, the bare editor and the view taking turns key by key, so that what else the machine
// does weighs on both alike: the counters give each one's main-thread CPU time per key and the
// view's as a multiple of the bare editor's.
template <typename View> void againstTheBareEditor(benchmark::State& state) {
    View view(state.range(0));
    QPlainTextEdit bare;
    bare.setFont(view.editor()->font());
    bare.document()->setDocumentMargin(view.editor()->document()->documentMargin());
    bare.resize(view.editor()->size());
    bare.setPlainText(view.editor()->toPlainText());
    bare.show();
    for (QPlainTextEdit* editor : {view.editor(), &bare}) editor->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    const auto cpu = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
    };
    double bareTime = 0;
    double viewTime = 0;
    bool letter = true;
    for (auto _ : state) {
        const double start = cpu();
        typeKey(&bare, letter);
        const double between = cpu();
        typeKey(view.editor(), letter);
        viewTime += cpu() - between;
        bareTime += between - start;
        letter = !letter;
    }
    const double keys = double(state.iterations());
    state.counters["bare_us"] = bareTime / keys;
    state.counters["view_us"] = viewTime / keys;
    state.counters["ratio"] = viewTime / bareTime;
}
BENCHMARK(againstTheBareEditor<Home>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(againstTheBareEditor<Notch>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

BENCHMARK(bareEditorLike<Home>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(typeIntoView<Home>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(bareEditorLike<Notch>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(typeIntoView<Notch>)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// Both views open over the same notes, as with the notch open beside the window: the key typed into
// Home's editor reaches the notch's as well.
void homeWithTheNotchOpen(benchmark::State& state) {
    Home home(state.range(0));
    NotchNotesView notch(home.f.c.stores.notes, QColor(10, 132, 255), home.f.c.h.clock);
    notch.resize(720, 300);
    notch.show();
    typeInto(state, home.editor());
}
BENCHMARK(homeWithTheNotchOpen)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
