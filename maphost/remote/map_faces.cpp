#include "maphost/remote/map_faces.h"

#include "maphost/remote/event_forwarder.h"
#include "maphost/remote/event_routes.h"
#include "maphost/remote/map_event_signals.h"
#include "maphost/remote/map_proxies.h"

namespace qmx::map {

using remoting::RegisterInterface;

void RegisterMapFaces()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    // Event sinks do not cross as objects (map_event_signals.h); command
    // sinks do, and are called back.
    RegisterInterface<IMmConnectionPoint, MmConnectionPointProxy>(
        "org.qmx.QMXMapHost.IMmConnectionPoint",
        {QMX_REMOTE_METHOD(IMmConnectionPoint, Advise), QMX_REMOTE_METHOD(IMmConnectionPoint, Unadvise),
         AdviseEventsMethod()});
    RegisterInterface<IMmEventSignals, MmEventSignalsProxy>("org.qmx.QMXMapHost.IMmEventSignals",
                                                            {QMX_REMOTE_METHOD(IMmEventSignals, OnMapEvent)});
    RegisterInterface<IMmTaskInfo, MmTaskInfoProxy>(
        "org.qmx.QMXMapHost.IMmTaskInfo",
        {QMX_REMOTE_METHOD(IMmTaskInfo, get_Priority),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_Priority),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_StartDate),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_StartDate),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_DueDate),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_DueDate),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_DurationHours),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_DurationHours),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_DurationUnit),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_DurationUnit),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_PercentComplete),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_PercentComplete),
         QMX_REMOTE_METHOD(IMmTaskInfo, get_Resources),
         QMX_REMOTE_METHOD(IMmTaskInfo, put_Resources)});
    RegisterInterface<IMmAttributes, MmAttributesProxy>(
        "org.qmx.QMXMapHost.IMmAttributes",
        {QMX_REMOTE_METHOD(IMmAttributes, GetAttributeValue),
         QMX_REMOTE_METHOD(IMmAttributes, SetAttributeValue),
         QMX_REMOTE_METHOD(IMmAttributes, DeleteAttribute),
         QMX_REMOTE_METHOD(IMmAttributes, get_Count),
         QMX_REMOTE_METHOD(IMmAttributes, get_Name)});
    RegisterInterface<IMmTopics, MmTopicsProxy>(
        "org.qmx.QMXMapHost.IMmTopics",
        {QMX_REMOTE_METHOD(IMmTopics, get_Count),
         QMX_REMOTE_METHOD(IMmTopics, Item),
         QMX_REMOTE_METHOD(IMmTopics, Insert)});
    RegisterInterface<IMmTopic, MmTopicProxy>(
        "org.qmx.QMXMapHost.IMmTopic",
        {QMX_REMOTE_METHOD(IMmTopic, get_Guid),
         QMX_REMOTE_METHOD(IMmTopic, get_Text),
         QMX_REMOTE_METHOD(IMmTopic, put_Text),
         QMX_REMOTE_METHOD(IMmTopic, get_SubTopics),
         QMX_REMOTE_METHOD(IMmTopic, AddSubTopic),
         QMX_REMOTE_METHOD(IMmTopic, Delete),
         QMX_REMOTE_METHOD(IMmTopic, get_TaskInfo),
         QMX_REMOTE_METHOD(IMmTopic, get_Attributes),
         QMX_REMOTE_METHOD(IMmTopic, get_FillColor),
         QMX_REMOTE_METHOD(IMmTopic, put_FillColor),
         QMX_REMOTE_METHOD(IMmTopic, get_HasFillColor),
         QMX_REMOTE_METHOD(IMmTopic, ClearFillColor),
         QMX_REMOTE_METHOD(IMmTopic, get_Collapsed),
         QMX_REMOTE_METHOD(IMmTopic, put_Collapsed),
         QMX_REMOTE_METHOD(IMmTopic, get_IsCentralTopic),
         QMX_REMOTE_METHOD(IMmTopic, get_IsFloating),
         QMX_REMOTE_METHOD(IMmTopic, put_IsFloating),
         QMX_REMOTE_METHOD(IMmTopic, get_IsCallout),
         QMX_REMOTE_METHOD(IMmTopic, put_IsCallout),
         QMX_REMOTE_METHOD(IMmTopic, get_ParentTopic),
         QMX_REMOTE_METHOD(IMmTopic, get_Document)});
    // The bulk read of a topic's tree (topic_records.h for the chunks) and
    // the bulk write of attributes.
    RegisterInterface<IMmTopicTree, MmTopicTreeProxy>("org.qmx.QMXMapHost.IMmTopicTree",
                                                      {QMX_REMOTE_METHOD(IMmTopicTree, ReadTree),
                                                       QMX_REMOTE_METHOD(IMmTopicTree, SetAttributes)});
    RegisterInterface<IMmTreeReader, MmTreeReaderProxy>("org.qmx.QMXMapHost.IMmTreeReader",
                                                        {QMX_REMOTE_METHOD(IMmTreeReader, Next)});
    RegisterInterface<IMmDocumentProperties, MmDocumentPropertiesProxy>(
        "org.qmx.QMXMapHost.IMmDocumentProperties",
        {QMX_REMOTE_METHOD(IMmDocumentProperties, get_Description),
         QMX_REMOTE_METHOD(IMmDocumentProperties, put_Description)});
    RegisterInterface<IMmRange, MmRangeProxy>(
        "org.qmx.QMXMapHost.IMmRange",
        {QMX_REMOTE_METHOD(IMmRange, get_Count),
         QMX_REMOTE_METHOD(IMmRange, TopicByGuid)});
    RegisterInterface<IMmDocument, MmDocumentProxy>(
        "org.qmx.QMXMapHost.IMmDocument",
        {QMX_REMOTE_METHOD(IMmDocument, get_CentralTopic),
         QMX_REMOTE_METHOD(IMmDocument, get_FullName),
         QMX_REMOTE_METHOD(IMmDocument, get_Name),
         QMX_REMOTE_METHOD(IMmDocument, get_IsModified),
         QMX_REMOTE_METHOD(IMmDocument, put_IsModified),
         QMX_REMOTE_METHOD(IMmDocument, get_IsReadOnly),
         QMX_REMOTE_METHOD(IMmDocument, Save),
         QMX_REMOTE_METHOD(IMmDocument, SaveAs),
         QMX_REMOTE_METHOD(IMmDocument, get_Properties),
         QMX_REMOTE_METHOD(IMmDocument, get_Range),
         QMX_REMOTE_METHOD(IMmDocument, Activate),
         QMX_REMOTE_METHOD(IMmDocument, Close)});
    RegisterInterface<IMmDocuments, MmDocumentsProxy>(
        "org.qmx.QMXMapHost.IMmDocuments",
        {QMX_REMOTE_METHOD(IMmDocuments, get_Count),
         QMX_REMOTE_METHOD(IMmDocuments, Item),
         QMX_REMOTE_METHOD(IMmDocuments, Add),
         QMX_REMOTE_METHOD(IMmDocuments, Open)});
    RegisterInterface<IMmEventSubscription, MmEventSubscriptionProxy>(
        "org.qmx.QMXMapHost.IMmEventSubscription",
        {QMX_REMOTE_METHOD(IMmEventSubscription, get_ConnectionPoint),
         QMX_REMOTE_METHOD(IMmEventSubscription, get_Mask),
         QMX_REMOTE_METHOD(IMmEventSubscription, Unregister)});
    RegisterInterface<IMmEventManager, MmEventManagerProxy>(
        "org.qmx.QMXMapHost.IMmEventManager",
        {QMX_REMOTE_METHOD(IMmEventManager, Register)});
    RegisterInterface<IMmCommandSink, MmCommandSinkProxy>(
        "org.qmx.QMXMapHost.IMmCommandSink",
        {QMX_REMOTE_METHOD(IMmCommandSink, OnRun),
         QMX_REMOTE_METHOD(IMmCommandSink, OnUpdateState)});
    RegisterInterface<IMmCommand, MmCommandProxy>(
        "org.qmx.QMXMapHost.IMmCommand",
        {QMX_REMOTE_METHOD(IMmCommand, get_Name),
         QMX_REMOTE_METHOD(IMmCommand, get_AddInProgId),
         QMX_REMOTE_METHOD(IMmCommand, get_Caption),
         QMX_REMOTE_METHOD(IMmCommand, put_Caption),
         QMX_REMOTE_METHOD(IMmCommand, get_ImagePath),
         QMX_REMOTE_METHOD(IMmCommand, put_ImagePath),
         QMX_REMOTE_METHOD(IMmCommand, get_ConnectionPoint),
         QMX_REMOTE_METHOD(IMmCommand, Execute),
         QMX_REMOTE_METHOD(IMmCommand, QueryState)});
    RegisterInterface<IMmCommands, MmCommandsProxy>(
        "org.qmx.QMXMapHost.IMmCommands",
        {QMX_REMOTE_METHOD(IMmCommands, get_Count),
         QMX_REMOTE_METHOD(IMmCommands, Item),
         QMX_REMOTE_METHOD(IMmCommands, Add)});
    RegisterInterface<IMmUiControls, MmUiControlsProxy>(
        "org.qmx.QMXMapHost.IMmUiControls",
        {QMX_REMOTE_METHOD(IMmUiControls, get_Count),
         QMX_REMOTE_METHOD(IMmUiControls, Item),
         QMX_REMOTE_METHOD(IMmUiControls, Add)});
    RegisterInterface<IMmUserInterface, MmUserInterfaceProxy>(
        "org.qmx.QMXMapHost.IMmUserInterface",
        {QMX_REMOTE_METHOD(IMmUserInterface, get_Name),
         QMX_REMOTE_METHOD(IMmUserInterface, get_Controls)});
    RegisterInterface<IMmUserInterfaces, MmUserInterfacesProxy>(
        "org.qmx.QMXMapHost.IMmUserInterfaces",
        {QMX_REMOTE_METHOD(IMmUserInterfaces, get_Count),
         QMX_REMOTE_METHOD(IMmUserInterfaces, Item)});
    RegisterInterface<IMmApplication, MmApplicationProxy>(
        "org.qmx.QMXMapHost.IMmApplication",
        {QMX_REMOTE_METHOD(IMmApplication, get_Documents),
         QMX_REMOTE_METHOD(IMmApplication, get_ActiveDocument),
         QMX_REMOTE_METHOD(IMmApplication, get_EventManager),
         QMX_REMOTE_METHOD(IMmApplication, get_Commands),
         QMX_REMOTE_METHOD(IMmApplication, get_UserInterfaces),
         QMX_REMOTE_METHOD(IMmApplication, get_MainWindowHandle)});
    RegisterInterface<IMmApplicationWindow, MmApplicationWindowProxy>(
        "org.qmx.QMXMapHost.IMmApplicationWindow",
        {QMX_REMOTE_METHOD(IMmApplicationWindow, get_Visible), QMX_REMOTE_METHOD(IMmApplicationWindow, put_Visible)});
}

}  // namespace qmx::map
