#pragma once

class Scheduler;
class CompositorWatch;
class DefaultsStore;
class GlobalInput;
class NotificationCenter;
class Pasteboard;
class PrivateTempFolder;
class ScreenService;
class TaskRunner;
class ThumbnailCache;

// The platform services that the long-lived objects share. The application
// fills it with the Qt/X11 implementations, the unit tests with fakes; the
// services outlive every object that uses them.
struct PlatformServices
{
    Scheduler &scheduler;
    DefaultsStore &defaults;
    NotificationCenter &notifications;
    Pasteboard &pasteboard;
    ScreenService &screens;
    PrivateTempFolder &tempFolder;
    GlobalInput &globalInput;
    TaskRunner &tasks;
    const ThumbnailCache &thumbnails;
    CompositorWatch &compositor;
};
