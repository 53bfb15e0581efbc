#include "Prompt.h"

#include "Error.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>

namespace vt {
namespace {
Prompt* g_prompt = nullptr;

QtPrompt& qtPrompt()
{
    static QtPrompt p;
    return p;
}

std::function<void(const QString&, int)>& helpHandler()
{
    static std::function<void(const QString&, int)> h;
    return h;
}

QWidget* parentWindow() { return QApplication::activeWindow(); }

Prompt::Answer fallbackAnswer(Prompt::Buttons b)
{
    switch (b) {
    case Prompt::Buttons::Ok:
        return Prompt::Answer::Ok;
    case Prompt::Buttons::OkCancel:
    case Prompt::Buttons::YesNoCancel:
        return Prompt::Answer::Cancel;
    case Prompt::Buttons::YesNo:
        return Prompt::Answer::No;
    }
    return Prompt::Answer::Cancel;
}
} // namespace

QPrinter& sharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

Prompt& prompt() { return g_prompt ? *g_prompt : qtPrompt(); }

Prompt* setPrompt(Prompt* p)
{
    Prompt* old = g_prompt;
    g_prompt = p;
    return old;
}

Prompt::Answer Prompt::ask(const QString& text, Buttons buttons)
{
    Box b;
    b.text = text;
    b.buttons = buttons;
    b.icon = Icon::Question;
    return message(b);
}

void Prompt::inform(const QString& text, Icon icon)
{
    Box b;
    b.text = text;
    b.icon = icon;
    message(b);
}

void ShowError(const VtError& e)
{
    Prompt::Box b;
    b.text = e.message();
    b.icon = Prompt::Icon::Critical;
    b.helpFile = e.helpFile();
    b.helpTopic = e.helpTopic();
    prompt().message(b);
}

void ShowError(const QString& message) { ShowError(VtError(message)); }

// --- QtPrompt ---

void QtPrompt::setHelpHandler(std::function<void(const QString&, int)> h) { helpHandler() = std::move(h); }

Prompt::Answer QtPrompt::message(const Box& box)
{
    QMessageBox mb(parentWindow());
    mb.setWindowTitle(box.title);
    mb.setText(box.text);
    switch (box.icon) {
    case Icon::None: mb.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: mb.setIcon(QMessageBox::Information); break;
    case Icon::Warning: mb.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: mb.setIcon(QMessageBox::Critical); break;
    case Icon::Question: mb.setIcon(QMessageBox::Question); break;
    }
    switch (box.buttons) {
    case Buttons::Ok: mb.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: mb.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (!box.helpFile.isEmpty() && helpHandler()) {
        QPushButton* help = mb.addButton(QMessageBox::Help);
        const QString file = box.helpFile;
        const int topic = box.helpTopic;
        // Help opens the topic without closing the box.
        help->disconnect();
        QObject::connect(help, &QPushButton::clicked, [file, topic] { helpHandler()(file, topic); });
    }
    switch (mb.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return fallbackAnswer(box.buttons);
    }
}

std::optional<QString> QtPrompt::input(const QString& promptText, const QString& title,
                                       const QString& defaultValue)
{
    bool ok = false;
    QString v = QInputDialog::getText(parentWindow(), title.isEmpty() ? QStringLiteral("Veltrana") : title,
                                      promptText, QLineEdit::Normal, defaultValue, &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

QString QtPrompt::openFileName(const QString& title, const QString& filter, const QString& dir)
{
    return QFileDialog::getOpenFileName(parentWindow(), title, dir, filter);
}

QString QtPrompt::saveFileName(const QString& title, const QString& filter, const QString& dir)
{
    return QFileDialog::getSaveFileName(parentWindow(), title, dir, filter);
}

bool QtPrompt::printSetup()
{
    QPageSetupDialog dlg(&sharedPrinter(), parentWindow());
    return dlg.exec() == QDialog::Accepted;
}

// --- ScriptedPrompt ---

ScriptedPrompt::ScriptedPrompt() { m_previous = setPrompt(this); }

ScriptedPrompt::~ScriptedPrompt() { setPrompt(m_previous); }

ScriptedPrompt& ScriptedPrompt::answer(Answer a)
{
    m_queue.push_back({Kind::Message, a, std::nullopt, true});
    return *this;
}

ScriptedPrompt& ScriptedPrompt::answerInput(std::optional<QString> v)
{
    m_queue.push_back({Kind::Input, Answer::Ok, std::move(v), true});
    return *this;
}

ScriptedPrompt& ScriptedPrompt::answerFile(const QString& path)
{
    m_queue.push_back({Kind::OpenFile, Answer::Ok, path, true});
    return *this;
}

ScriptedPrompt& ScriptedPrompt::answerPrintSetup(bool ok)
{
    m_queue.push_back({Kind::PrintSetup, Answer::Ok, std::nullopt, ok});
    return *this;
}

QStringList ScriptedPrompt::texts() const
{
    QStringList r;
    for (const auto& a : m_asked)
        r << a.text;
    return r;
}

void ScriptedPrompt::clear()
{
    m_queue.clear();
    m_asked.clear();
    m_unexpected.clear();
}

std::optional<ScriptedPrompt::Reply> ScriptedPrompt::take(Kind kind, const QString& what)
{
    // Both file dialogs take answers queued with answerFile.
    auto same = [kind](Kind k) {
        auto norm = [](Kind x) { return x == Kind::SaveFile ? Kind::OpenFile : x; };
        return norm(k) == norm(kind);
    };
    if (m_queue.empty() || !same(m_queue.front().kind)) {
        m_unexpected << what;
        return std::nullopt;
    }
    Reply r = m_queue.front();
    m_queue.pop_front();
    return r;
}

Prompt::Answer ScriptedPrompt::message(const Box& box)
{
    m_asked.push_back({Kind::Message, box.text, box.title, box.buttons, box.icon});
    auto r = take(Kind::Message, box.text);
    return r ? r->answer : fallbackAnswer(box.buttons);
}

std::optional<QString> ScriptedPrompt::input(const QString& promptText, const QString& title,
                                             const QString&)
{
    m_asked.push_back({Kind::Input, promptText, title});
    auto r = take(Kind::Input, promptText);
    return r ? r->text : std::nullopt;
}

QString ScriptedPrompt::openFileName(const QString& title, const QString&, const QString&)
{
    m_asked.push_back({Kind::OpenFile, title, title});
    auto r = take(Kind::OpenFile, title);
    return r && r->text ? *r->text : QString();
}

QString ScriptedPrompt::saveFileName(const QString& title, const QString&, const QString&)
{
    m_asked.push_back({Kind::SaveFile, title, title});
    auto r = take(Kind::SaveFile, title);
    return r && r->text ? *r->text : QString();
}

bool ScriptedPrompt::printSetup()
{
    m_asked.push_back({Kind::PrintSetup, QString(), QString()});
    auto r = take(Kind::PrintSetup, QStringLiteral("print setup"));
    return r ? r->ok : false;
}

} // namespace vt
