// The small observer framework that ties the plugin's model (the clipboard
// history) to its controllers (the panels), and both to the settings store.
// It sits with the store it observes; the clipboard texts the model holds
// come from the event hub below.
#pragma once

#include "framework/EditorEventHub.h"

#include <string>
#include <vector>

class TarvoSettingsManager;
class EditorEventHub;
class IController;

class SettingsObserver {
public:
    virtual ~SettingsObserver() = default;
    // Remembers the store; components that own setting keys register their
    // defaults here (or read the stored values).
    virtual void attachedToSettings(TarvoSettingsManager* store) = 0;
    virtual void settingsChanged(const std::wstring& group, const std::wstring& key);
};

class IModel : public SettingsObserver {
public:
    void attachedToSettings(TarvoSettingsManager* store) override { settings_ = store; }

    // Appends the controller unless it is already attached, and points it at this model.
    void addController(IController* controller);
    void notifyControllers();
    const std::vector<IController*>& controllers() const { return controllers_; }

protected:
    TarvoSettingsManager* settings_ = nullptr;
    std::vector<IController*> controllers_;
};

class IController : public SettingsObserver {
public:
    void attachedToSettings(TarvoSettingsManager* store) override { settings_ = store; }
    // Attaches to the model, then observes the settings store (which calls
    // attachedToSettings at once).
    virtual void init(IModel* model, EditorEventHub* hub, TarvoSettingsManager* store);
    virtual void modelModified() {}

    IModel* model() const { return model_; }
    TarvoSettingsManager* settings() const { return settings_; }

protected:
    TarvoSettingsManager* settings_ = nullptr;

private:
    friend class IModel;
    IModel* model_ = nullptr;
};
