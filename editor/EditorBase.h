// The editor as the host sees it: the host asks for its rectangle, opens it
// in a window of its own, idles it and closes it. Every operation has a
// harmless default; the plug-in's editor replaces them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "host/AEffect.h"

class EffectBase;

class EditorBase {
public:
    // The effect owns the editor; the derived editor enters itself there once
    // it is completely built.
    explicit EditorBase(EffectBase* effect);
    virtual ~EditorBase();
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    // Stores where the host finds the editor's rectangle; 0: no rectangle.
    virtual int32_t getRect(ERect** rect);
    virtual int32_t open(HWND parent);
    virtual void close();
    // Runs an update that was posted since the last idle.
    virtual void idle();
    virtual void update();
    // Any thread: a host's setChunk or setParameter posts, the editor's
    // thread runs the update at its next idle.
    virtual void postUpdate();

    HWND getHostWindow() const { return hostWindow; }

protected:
    EffectBase* effect;
    HWND hostWindow;
    std::atomic<int32_t> updateFlag;
};
