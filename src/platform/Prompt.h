#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QPrinter;

namespace vt {

class VtError;

// The printer that Print Setup configures and File > Print uses.
QPrinter& sharedPrinter();

// Every modal question of the program goes through this seam: message boxes,
// input boxes, file dialogs and the print setup dialog. The program installs
// QtPrompt; tests install a ScriptedPrompt.
class Prompt {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Box {
        QString text;
        QString title = QStringLiteral("Veltrana");
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString helpFile; // with helpTopic: the help key opens that topic
        int helpTopic = 0;
    };

    virtual ~Prompt() = default;
    virtual Answer message(const Box& box) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultValue) = 0;
    // File dialogs; an empty text when cancelled. filter is in Qt's form
    // ("Databases (*.mdb);;All Files (*)").
    virtual QString openFileName(const QString& title, const QString& filter, const QString& dir) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter, const QString& dir) = 0;
    // The print setup dialog; false when cancelled.
    virtual bool printSetup() = 0;

    // Shorthands used throughout the program.
    Answer ask(const QString& text, Buttons buttons = Buttons::YesNo);
    void inform(const QString& text, Icon icon = Icon::Information);
};

// The installed prompt (a QtPrompt unless replaced).
Prompt& prompt();
// Installs p (not owned) and returns the previous one; nullptr restores QtPrompt.
Prompt* setPrompt(Prompt* p);

// The standard failure report: the message in an OK box titled "Veltrana".
void ShowError(const VtError& e);
void ShowError(const QString& message);

// Qt dialogs.
class QtPrompt : public Prompt {
public:
    Answer message(const Box& box) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultValue) override;
    QString openFileName(const QString& title, const QString& filter, const QString& dir) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& dir) override;
    bool printSetup() override;

    // Opens a help topic when the user presses Help in a box that names one.
    static void setHelpHandler(std::function<void(const QString& file, int topic)> h);
};

// A prompt for tests: answers from a queue the test fills, records every
// question, and notes each question it was not told to expect (answering it
// with Cancel, or No, or OK, whichever the box offers first).
class ScriptedPrompt : public Prompt {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, PrintSetup };
    struct Asked {
        Kind kind;
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
    };

    ScriptedPrompt();  // installs itself
    ~ScriptedPrompt() override; // restores the previous prompt

    ScriptedPrompt& answer(Answer a);                      // next message box
    ScriptedPrompt& answerInput(std::optional<QString> v); // next input box
    ScriptedPrompt& answerFile(const QString& path);      // next file dialog
    ScriptedPrompt& answerPrintSetup(bool ok);

    const std::vector<Asked>& asked() const { return m_asked; }
    QStringList texts() const; // the texts of all questions, in order
    const QStringList& unexpected() const { return m_unexpected; }
    int pending() const { return int(m_queue.size()); }
    void clear();

    Answer message(const Box& box) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultValue) override;
    QString openFileName(const QString& title, const QString& filter, const QString& dir) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& dir) override;
    bool printSetup() override;

private:
    struct Reply {
        Kind kind;
        Answer answer = Answer::Ok;
        std::optional<QString> text;
        bool ok = true;
    };
    std::optional<Reply> take(Kind kind, const QString& what);

    std::deque<Reply> m_queue;
    std::vector<Asked> m_asked;
    QStringList m_unexpected;
    Prompt* m_previous = nullptr;
};

} // namespace vt
