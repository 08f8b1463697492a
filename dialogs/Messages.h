#pragma once

#include "link/OperationMessages.h"

#include <QString>

class QWidget;

enum class MessageKind { Stop, Exclamation, Information, Plain };

// What the user chose when asked about changes not yet saved.
enum class SaveChoice { Save, Discard, Cancel };

// Caption of every message box except the plain ones and error boxes.
inline constexpr char kMessageCaption[] = "PX520";

// Every message the tool shows goes through here, so tests can record them.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void show(MessageKind kind, const QString& caption, const QString& text) = 0;
    // A question with the buttons Save, Discard and Cancel (caption "PX520").
    virtual SaveChoice askToSave(const QString& text) = 0;
    // A question with the buttons Save As... and Cancel (caption "PX520");
    // true for Save As.
    virtual bool askToSaveAs(const QString& text) = 0;
    // A question with the buttons Yes and No, No the default (caption
    // "PX520"); true for Yes.
    virtual bool askYesNo(const QString& text) = 0;

    void stop(const QString& text) { show(MessageKind::Stop, kMessageCaption, text); }
    void exclamation(const QString& text) { show(MessageKind::Exclamation, kMessageCaption, text); }
    void information(const QString& text) { show(MessageKind::Information, kMessageCaption, text); }
    // No icon, the application's title as caption.
    void plain(const QString& text) { show(MessageKind::Plain, applicationTitle(), text); }
    // Stop icon, the application's title as caption: conversion errors and
    // exceptions that reach the event loop.
    void error(const QString& text) { show(MessageKind::Stop, applicationTitle(), text); }
    // The box a transfer's outcome asks for.
    void showOutcome(const OutcomeMessage& message);

    static QString applicationTitle();
};

// Modal message boxes with one OK button over the main window.
class MessageBoxes final : public Messages {
public:
    void setParentWindow(QWidget* window) { parent = window; }
    void show(MessageKind kind, const QString& caption, const QString& text) override;
    SaveChoice askToSave(const QString& text) override;
    bool askToSaveAs(const QString& text) override;
    bool askYesNo(const QString& text) override;

private:
    QWidget* parent = nullptr;
};
