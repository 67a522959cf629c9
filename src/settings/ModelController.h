// The small observer framework that ties the plugin's model (the clipboard
// history) to its controllers (the panels), and both to the settings store.
// It sits with the store it observes; the clipboard texts the model holds
// come from the event hub below.
#pragma once

#include "framework/EditorEventHub.h"
#include "settings/SettingsObserver.h"

#include <string>
#include <vector>

class SettingsStore;
class EditorEventHub;
class IController;

class IModel : public SettingsObserver {
public:
    void attachedToSettings(SettingsStore* store) override { settings_ = store; }

    // Appends the controller unless it is already attached, and points it at this model.
    void addController(IController* controller);
    void notifyControllers();
    const std::vector<IController*>& controllers() const { return controllers_; }

protected:
    SettingsStore* settings_ = nullptr;
    std::vector<IController*> controllers_;
};

class IController : public SettingsObserver {
public:
    void attachedToSettings(SettingsStore* store) override { settings_ = store; }
    // Attaches to the model, then observes the settings store (which calls
    // attachedToSettings at once).
    virtual void init(IModel* model, EditorEventHub* hub, SettingsStore* store);
    virtual void modelModified() {}

    IModel* model() const { return model_; }
    SettingsStore* settings() const { return settings_; }

protected:
    SettingsStore* settings_ = nullptr;

private:
    friend class IModel;
    IModel* model_ = nullptr;
};
