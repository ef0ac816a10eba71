// AskText: a small modal prompt for one line of text (a caption, a label, an
// edit box and two buttons), made from a template in memory, so that it needs
// no resource of the module that shows it. Texts are in code page 1251.
#ifndef CWIN_TEXTPROMPT_H
#define CWIN_TEXTPROMPT_H

#include <windows.h>

// The prompt's texts: its caption, the label above the edit box, and the
// captions of the accepting (default) and cancelling buttons.
struct TextPromptTexts
{
    const char* caption;
    const char* label;
    const char* accept;
    const char* cancel;
};

// Identifiers of the prompt's items, for a program that drives it.
enum
{
    TEXT_PROMPT_EDIT = 100,
    TEXT_PROMPT_LABEL = 101
};

// Shows the prompt over `owner` with `text` (size bytes, code page 1251) as
// the edit box's first text, all of it selected. True when accepted: `text`
// then holds what was typed (cut to fit). False when cancelled or the prompt
// could not be shown; `text` is left as it was.
bool AskText(HWND owner, const TextPromptTexts& texts, char* text, int size);

#endif
