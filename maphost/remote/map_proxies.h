// The proxies of the map host's interfaces: each call goes to the object in
// the host's process (or the process that handed it out) over D-Bus. The
// connection point's and the event subscription's proxies, which turn event
// sinks into signal subscriptions, are in event_routes.h.
#pragma once

#include "automation/remoting/interface_face.h"
#include "maphost/api/map_interfaces.h"
#include "maphost/api/map_window.h"

namespace qmx::map {

class MmTaskInfoProxy final : public remoting::Facet<IMmTaskInfo> {
public:
    using Facet::Facet;
    HRESULT get_Priority(LONG* pValue) override { QMX_REMOTE_CALL(get_Priority, pValue); }
    HRESULT put_Priority(LONG value) override { QMX_REMOTE_CALL(put_Priority, value); }
    HRESULT get_StartDate(DATE* pValue) override { QMX_REMOTE_CALL(get_StartDate, pValue); }
    HRESULT put_StartDate(DATE value) override { QMX_REMOTE_CALL(put_StartDate, value); }
    HRESULT get_DueDate(DATE* pValue) override { QMX_REMOTE_CALL(get_DueDate, pValue); }
    HRESULT put_DueDate(DATE value) override { QMX_REMOTE_CALL(put_DueDate, value); }
    HRESULT get_DurationHours(double* pValue) override { QMX_REMOTE_CALL(get_DurationHours, pValue); }
    HRESULT put_DurationHours(double value) override { QMX_REMOTE_CALL(put_DurationHours, value); }
    HRESULT get_DurationUnit(LONG* pValue) override { QMX_REMOTE_CALL(get_DurationUnit, pValue); }
    HRESULT put_DurationUnit(LONG value) override { QMX_REMOTE_CALL(put_DurationUnit, value); }
    HRESULT get_PercentComplete(LONG* pValue) override { QMX_REMOTE_CALL(get_PercentComplete, pValue); }
    HRESULT put_PercentComplete(LONG value) override { QMX_REMOTE_CALL(put_PercentComplete, value); }
    HRESULT get_Resources(BSTR* pValue) override { QMX_REMOTE_CALL(get_Resources, pValue); }
    HRESULT put_Resources(const BSTR& value) override { QMX_REMOTE_CALL(put_Resources, value); }
};

class MmAttributesProxy final : public remoting::Facet<IMmAttributes> {
public:
    using Facet::Facet;
    HRESULT GetAttributeValue(const BSTR& name, BSTR* pValue) override
    {
        QMX_REMOTE_CALL(GetAttributeValue, name, pValue);
    }
    HRESULT SetAttributeValue(const BSTR& name, const BSTR& value) override
    {
        QMX_REMOTE_CALL(SetAttributeValue, name, value);
    }
    HRESULT DeleteAttribute(const BSTR& name) override { QMX_REMOTE_CALL(DeleteAttribute, name); }
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT get_Name(LONG index, BSTR* pName) override { QMX_REMOTE_CALL(get_Name, index, pName); }
};

class MmTopicsProxy final : public remoting::Facet<IMmTopics> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT Item(LONG index, IMmTopic** ppTopic) override { QMX_REMOTE_CALL(Item, index, ppTopic); }
    HRESULT Insert(IMmTopic* pTopic, LONG position) override { QMX_REMOTE_CALL(Insert, pTopic, position); }
};

class MmTopicProxy final : public remoting::Facet<IMmTopic> {
public:
    using Facet::Facet;
    HRESULT get_Guid(BSTR* pGuid) override { QMX_REMOTE_CALL(get_Guid, pGuid); }
    HRESULT get_Text(BSTR* pText) override { QMX_REMOTE_CALL(get_Text, pText); }
    HRESULT put_Text(const BSTR& text) override { QMX_REMOTE_CALL(put_Text, text); }
    HRESULT get_SubTopics(VARIANT_BOOL flag, IMmTopics** ppTopics) override
    {
        QMX_REMOTE_CALL(get_SubTopics, flag, ppTopics);
    }
    HRESULT AddSubTopic(const BSTR& text, IMmTopic** ppTopic) override
    {
        QMX_REMOTE_CALL(AddSubTopic, text, ppTopic);
    }
    HRESULT Delete() override { QMX_REMOTE_CALL(Delete); }
    HRESULT get_TaskInfo(IMmTaskInfo** ppTaskInfo) override { QMX_REMOTE_CALL(get_TaskInfo, ppTaskInfo); }
    HRESULT get_Attributes(const BSTR& namespaceUri, IMmAttributes** ppAttributes) override
    {
        QMX_REMOTE_CALL(get_Attributes, namespaceUri, ppAttributes);
    }
    HRESULT get_FillColor(DWORD* pColor) override { QMX_REMOTE_CALL(get_FillColor, pColor); }
    HRESULT put_FillColor(DWORD color) override { QMX_REMOTE_CALL(put_FillColor, color); }
    HRESULT get_HasFillColor(VARIANT_BOOL* pHas) override { QMX_REMOTE_CALL(get_HasFillColor, pHas); }
    HRESULT ClearFillColor() override { QMX_REMOTE_CALL(ClearFillColor); }
    HRESULT get_Collapsed(VARIANT_BOOL* pCollapsed) override { QMX_REMOTE_CALL(get_Collapsed, pCollapsed); }
    HRESULT put_Collapsed(VARIANT_BOOL collapsed) override { QMX_REMOTE_CALL(put_Collapsed, collapsed); }
    HRESULT get_IsCentralTopic(VARIANT_BOOL* pCentral) override { QMX_REMOTE_CALL(get_IsCentralTopic, pCentral); }
    HRESULT get_IsFloating(VARIANT_BOOL* pFloating) override { QMX_REMOTE_CALL(get_IsFloating, pFloating); }
    HRESULT put_IsFloating(VARIANT_BOOL floating) override { QMX_REMOTE_CALL(put_IsFloating, floating); }
    HRESULT get_IsCallout(VARIANT_BOOL* pCallout) override { QMX_REMOTE_CALL(get_IsCallout, pCallout); }
    HRESULT put_IsCallout(VARIANT_BOOL callout) override { QMX_REMOTE_CALL(put_IsCallout, callout); }
    HRESULT get_ParentTopic(IMmTopic** ppParent) override { QMX_REMOTE_CALL(get_ParentTopic, ppParent); }
    HRESULT get_Document(IMmDocument** ppDocument) override { QMX_REMOTE_CALL(get_Document, ppDocument); }
};

class MmTopicTreeProxy final : public remoting::Facet<IMmTopicTree> {
public:
    using Facet::Facet;
    HRESULT ReadTree(const BSTR& namespaceUri, const BSTR& attributeNames, IMmTreeReader** ppReader) override
    {
        QMX_REMOTE_CALL(ReadTree, namespaceUri, attributeNames, ppReader);
    }
    HRESULT SetAttributes(const BSTR& namespaceUri, const BSTR& entries, LONG* pWritten) override
    {
        QMX_REMOTE_CALL(SetAttributes, namespaceUri, entries, pWritten);
    }
};

class MmTreeReaderProxy final : public remoting::Facet<IMmTreeReader> {
public:
    using Facet::Facet;
    HRESULT Next(LONG maxTopics, BSTR* pChunk) override { QMX_REMOTE_CALL(Next, maxTopics, pChunk); }
};

class MmDocumentPropertiesProxy final : public remoting::Facet<IMmDocumentProperties> {
public:
    using Facet::Facet;
    HRESULT get_Description(BSTR* pText) override { QMX_REMOTE_CALL(get_Description, pText); }
    HRESULT put_Description(const BSTR& text) override { QMX_REMOTE_CALL(put_Description, text); }
};

class MmRangeProxy final : public remoting::Facet<IMmRange> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT TopicByGuid(const BSTR& guid, IMmTopic** ppTopic) override
    {
        QMX_REMOTE_CALL(TopicByGuid, guid, ppTopic);
    }
};

class MmDocumentProxy final : public remoting::Facet<IMmDocument> {
public:
    using Facet::Facet;
    HRESULT get_CentralTopic(IMmTopic** ppTopic) override { QMX_REMOTE_CALL(get_CentralTopic, ppTopic); }
    HRESULT get_FullName(BSTR* pName) override { QMX_REMOTE_CALL(get_FullName, pName); }
    HRESULT get_Name(BSTR* pName) override { QMX_REMOTE_CALL(get_Name, pName); }
    HRESULT get_IsModified(VARIANT_BOOL* pModified) override { QMX_REMOTE_CALL(get_IsModified, pModified); }
    HRESULT put_IsModified(VARIANT_BOOL modified) override { QMX_REMOTE_CALL(put_IsModified, modified); }
    HRESULT get_IsReadOnly(VARIANT_BOOL* pReadOnly) override { QMX_REMOTE_CALL(get_IsReadOnly, pReadOnly); }
    HRESULT Save() override { QMX_REMOTE_CALL(Save); }
    HRESULT SaveAs(const BSTR& fileName, LONG format) override { QMX_REMOTE_CALL(SaveAs, fileName, format); }
    HRESULT get_Properties(IMmDocumentProperties** ppProperties) override
    {
        QMX_REMOTE_CALL(get_Properties, ppProperties);
    }
    HRESULT get_Range(LONG kind, LONG flags, IMmRange** ppRange) override
    {
        QMX_REMOTE_CALL(get_Range, kind, flags, ppRange);
    }
    HRESULT Activate() override { QMX_REMOTE_CALL(Activate); }
    HRESULT Close() override { QMX_REMOTE_CALL(Close); }
};

class MmDocumentsProxy final : public remoting::Facet<IMmDocuments> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT Item(LONG index, IMmDocument** ppDocument) override { QMX_REMOTE_CALL(Item, index, ppDocument); }
    HRESULT Add(LONG flags, IMmDocument** ppDocument) override { QMX_REMOTE_CALL(Add, flags, ppDocument); }
    HRESULT Open(const BSTR& fileName, const BSTR& password, VARIANT_BOOL readOnly, IMmDocument** ppDocument) override
    {
        QMX_REMOTE_CALL(Open, fileName, password, readOnly, ppDocument);
    }
};

class MmEventManagerProxy final : public remoting::Facet<IMmEventManager> {
public:
    using Facet::Facet;
    HRESULT Register(LONG classOrMask, LONG objectType, LONG phase, LONG flags, IMmEventSubscription** ppSubscription) override
    {
        QMX_REMOTE_CALL(Register, classOrMask, objectType, phase, flags, ppSubscription);
    }
};

class MmCommandSinkProxy final : public remoting::Facet<IMmCommandSink> {
public:
    using Facet::Facet;
    HRESULT OnRun() override { QMX_REMOTE_CALL(OnRun); }
    HRESULT OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override
    {
        QMX_REMOTE_CALL(OnUpdateState, pEnabled, pChecked);
    }
};

class MmCommandProxy final : public remoting::Facet<IMmCommand> {
public:
    using Facet::Facet;
    HRESULT get_Name(BSTR* pName) override { QMX_REMOTE_CALL(get_Name, pName); }
    HRESULT get_AddInProgId(BSTR* pProgId) override { QMX_REMOTE_CALL(get_AddInProgId, pProgId); }
    HRESULT get_Caption(BSTR* pCaption) override { QMX_REMOTE_CALL(get_Caption, pCaption); }
    HRESULT put_Caption(const BSTR& caption) override { QMX_REMOTE_CALL(put_Caption, caption); }
    HRESULT get_ImagePath(BSTR* pPath) override { QMX_REMOTE_CALL(get_ImagePath, pPath); }
    HRESULT put_ImagePath(const BSTR& path) override { QMX_REMOTE_CALL(put_ImagePath, path); }
    HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) override
    {
        QMX_REMOTE_CALL(get_ConnectionPoint, ppPoint);
    }
    HRESULT Execute() override { QMX_REMOTE_CALL(Execute); }
    HRESULT QueryState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) override
    {
        QMX_REMOTE_CALL(QueryState, pEnabled, pChecked);
    }
};

class MmCommandsProxy final : public remoting::Facet<IMmCommands> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT Item(LONG index, IMmCommand** ppCommand) override { QMX_REMOTE_CALL(Item, index, ppCommand); }
    HRESULT Add(const BSTR& progId, const BSTR& name, IMmCommand** ppCommand) override
    {
        QMX_REMOTE_CALL(Add, progId, name, ppCommand);
    }
};

class MmUiControlsProxy final : public remoting::Facet<IMmUiControls> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT Item(LONG index, IMmCommand** ppCommand) override { QMX_REMOTE_CALL(Item, index, ppCommand); }
    HRESULT Add(IMmCommand* pCommand, LONG flags) override { QMX_REMOTE_CALL(Add, pCommand, flags); }
};

class MmUserInterfaceProxy final : public remoting::Facet<IMmUserInterface> {
public:
    using Facet::Facet;
    HRESULT get_Name(BSTR* pName) override { QMX_REMOTE_CALL(get_Name, pName); }
    HRESULT get_Controls(IMmUiControls** ppControls) override { QMX_REMOTE_CALL(get_Controls, ppControls); }
};

class MmUserInterfacesProxy final : public remoting::Facet<IMmUserInterfaces> {
public:
    using Facet::Facet;
    HRESULT get_Count(LONG* pCount) override { QMX_REMOTE_CALL(get_Count, pCount); }
    HRESULT Item(LONG index, IMmUserInterface** ppItem) override { QMX_REMOTE_CALL(Item, index, ppItem); }
};

class MmApplicationProxy final : public remoting::Facet<IMmApplication> {
public:
    using Facet::Facet;
    HRESULT get_Documents(VARIANT_BOOL flag, IMmDocuments** ppDocuments) override
    {
        QMX_REMOTE_CALL(get_Documents, flag, ppDocuments);
    }
    HRESULT get_ActiveDocument(IMmDocument** ppDocument) override { QMX_REMOTE_CALL(get_ActiveDocument, ppDocument); }
    HRESULT get_EventManager(IMmEventManager** ppManager) override { QMX_REMOTE_CALL(get_EventManager, ppManager); }
    HRESULT get_Commands(IMmCommands** ppCommands) override { QMX_REMOTE_CALL(get_Commands, ppCommands); }
    HRESULT get_UserInterfaces(IMmUserInterfaces** ppItems) override { QMX_REMOTE_CALL(get_UserInterfaces, ppItems); }
    HRESULT get_MainWindowHandle(std::int64_t* pHandle) override { QMX_REMOTE_CALL(get_MainWindowHandle, pHandle); }
};

class MmApplicationWindowProxy final : public remoting::Facet<IMmApplicationWindow> {
public:
    using Facet::Facet;
    HRESULT get_Visible(VARIANT_BOOL* pVisible) override { QMX_REMOTE_CALL(get_Visible, pVisible); }
    HRESULT put_Visible(VARIANT_BOOL visible) override { QMX_REMOTE_CALL(put_Visible, visible); }
};
}  // namespace qmx::map
