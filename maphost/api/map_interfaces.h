// The automation interface of the map host: application, documents, topics,
// task information, attributes, events, commands and user interface.
//
// Conventions: strings are BSTR (UTF-16); collections are 1-based; a getter
// that finds nothing answers S_FALSE with an empty value (attributes) or a
// failure code (lookups); every failure sets the thread's error description.
#pragma once

#include <cstdint>
#include <vector>

#include "automation/unknown.h"
#include "automation/variant.h"

struct IMmDocument;
struct IMmTopic;
struct IMmCommand;

// A connection point: sinks of one outgoing interface (IMmEventSink or
// IMmCommandSink) are advised here; the sink is queried for that interface.
struct IMmConnectionPoint : IUnknown {
    QMX_INTERFACE_ID("{F0936313-0235-420F-ADC5-7C2585984B9A}");
    virtual HRESULT Advise(IUnknown* pSink, DWORD* pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};

// The values of one topic's built-in task information. DATE 0 means no
// date; the duration is in hours whatever the unit shown.
struct IMmTaskInfo : IUnknown {
    QMX_INTERFACE_ID("{430F929B-460B-4666-AAFA-F9DB0FAE9773}");
    // 0 (none) to 9.
    virtual HRESULT get_Priority(LONG* pValue) = 0;
    virtual HRESULT put_Priority(LONG value) = 0;
    virtual HRESULT get_StartDate(DATE* pValue) = 0;
    virtual HRESULT put_StartDate(DATE value) = 0;
    virtual HRESULT get_DueDate(DATE* pValue) = 0;
    virtual HRESULT put_DueDate(DATE value) = 0;
    virtual HRESULT get_DurationHours(double* pValue) = 0;
    virtual HRESULT put_DurationHours(double value) = 0;
    // qmx::map::kDurationHours, kDurationDays or kDurationWeeks.
    virtual HRESULT get_DurationUnit(LONG* pValue) = 0;
    virtual HRESULT put_DurationUnit(LONG value) = 0;
    // 0 to 100.
    virtual HRESULT get_PercentComplete(LONG* pValue) = 0;
    virtual HRESULT put_PercentComplete(LONG value) = 0;
    virtual HRESULT get_Resources(BSTR* pValue) = 0;
    virtual HRESULT put_Resources(const BSTR& value) = 0;
};

// The custom text attributes of one topic within one namespace URI.
struct IMmAttributes : IUnknown {
    QMX_INTERFACE_ID("{4422491E-43A4-45F2-857A-EC6FA81EF4F1}");
    // S_FALSE with an empty value when the attribute is absent.
    virtual HRESULT GetAttributeValue(const BSTR& name, BSTR* pValue) = 0;
    virtual HRESULT SetAttributeValue(const BSTR& name, const BSTR& value) = 0;
    // S_FALSE when there was nothing to delete.
    virtual HRESULT DeleteAttribute(const BSTR& name) = 0;
    virtual HRESULT get_Count(LONG* pCount) = 0;
    // Name of the attribute at a 1-based index (in name order).
    virtual HRESULT get_Name(LONG index, BSTR* pName) = 0;
};

// The sub-topics of one topic, in order, 1-based.
struct IMmTopics : IUnknown {
    QMX_INTERFACE_ID("{E8583EC3-91A0-47FE-AA16-BA43273BDEB2}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    virtual HRESULT Item(LONG index, IMmTopic** ppTopic) = 0;
    // Moves pTopic (of the same document) into this collection so that it
    // stands at 1-based position; Count + 1 (or -1) appends. A topic cannot
    // move below itself or one of its own sub-topics.
    virtual HRESULT Insert(IMmTopic* pTopic, LONG position) = 0;
};

struct IMmTopic : IUnknown {
    QMX_INTERFACE_ID("{24D43630-82DA-4428-A7D0-711FA0672044}");
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
    virtual HRESULT get_Guid(BSTR* pGuid) = 0;
    virtual HRESULT get_Text(BSTR* pText) = 0;
    virtual HRESULT put_Text(const BSTR& text) = 0;
    // The flag is false when asked of the central topic, true below it; the
    // collection is the same either way.
    virtual HRESULT get_SubTopics(VARIANT_BOOL flag, IMmTopics** ppTopics) = 0;
    virtual HRESULT AddSubTopic(const BSTR& text, IMmTopic** ppTopic) = 0;
    // Deletes the topic and its sub-topics; the central topic cannot go.
    virtual HRESULT Delete() = 0;
    virtual HRESULT get_TaskInfo(IMmTaskInfo** ppTaskInfo) = 0;
    virtual HRESULT get_Attributes(const BSTR& namespaceUri, IMmAttributes** ppAttributes) = 0;
    // Fill colour as 0xAARRGGBB; get answers S_FALSE and 0 when none is set.
    virtual HRESULT get_FillColor(DWORD* pColor) = 0;
    virtual HRESULT put_FillColor(DWORD color) = 0;
    virtual HRESULT get_HasFillColor(VARIANT_BOOL* pHas) = 0;
    virtual HRESULT ClearFillColor() = 0;
    virtual HRESULT get_Collapsed(VARIANT_BOOL* pCollapsed) = 0;
    virtual HRESULT put_Collapsed(VARIANT_BOOL collapsed) = 0;
    virtual HRESULT get_IsCentralTopic(VARIANT_BOOL* pCentral) = 0;
    // The two special-topic flags.
    virtual HRESULT get_IsFloating(VARIANT_BOOL* pFloating) = 0;
    virtual HRESULT put_IsFloating(VARIANT_BOOL floating) = 0;
    virtual HRESULT get_IsCallout(VARIANT_BOOL* pCallout) = 0;
    virtual HRESULT put_IsCallout(VARIANT_BOOL callout) = 0;
    // Null (S_FALSE) for the central topic.
    virtual HRESULT get_ParentTopic(IMmTopic** ppParent) = 0;
    virtual HRESULT get_Document(IMmDocument** ppDocument) = 0;
};

// Reads the values of many topics in few calls: a client that shows a whole
// map (a plan of its topics, say) would otherwise ask every value of every
// topic on its own, one call each, which across processes is a round trip
// each. Topics may offer it beside IMmTopic; a client that finds it missing
// uses the single calls.
struct IMmTreeReader : IUnknown {
    QMX_INTERFACE_ID("{5F0C2B7E-8D41-4A6C-9B3E-2C7D1E9A4F60}");
    // The next topics of the walk, at most maxTopics (1 to
    // qmx::map::kMaxChunkTopics) and about kChunkBudgetUnits code units, as
    // records (topic_records.h); S_FALSE and an empty chunk once the walk is
    // done. The walk follows the map as it is when each chunk is read.
    virtual HRESULT Next(LONG maxTopics, BSTR* pChunk) = 0;
};

struct IMmTopicTree : IUnknown {
    QMX_INTERFACE_ID("{A3E4B1C9-6F27-4D8A-B5E0-7C19D2F36B84}");
    // A reader of every topic below this one (not of this one), walked as
    // the single calls would: the sub-topics of a topic are counted when the
    // walk enters them. attributeNames lists the names (topic_records.h,
    // EncodeFieldList) whose values in namespaceUri each record carries.
    virtual HRESULT ReadTree(const BSTR& namespaceUri, const BSTR& attributeNames, IMmTreeReader** ppReader) = 0;
    // Sets attributes of many topics of this topic's map in one call:
    // entries is a list of fields (EncodeFieldList), three per write: the
    // topic's GUID, the name and the value, at most 3 * kMaxChunkTopics
    // fields. Each write is the topic's own SetAttributeValue, in order,
    // with its events; a GUID the map does not hold is passed over.
    // *pWritten counts the writes made.
    virtual HRESULT SetAttributes(const BSTR& namespaceUri, const BSTR& entries, LONG* pWritten) = 0;
};

// A document's property object.
struct IMmDocumentProperties : IUnknown {
    QMX_INTERFACE_ID("{1B36242E-A726-48D3-AF97-CF2849C153A8}");
    virtual HRESULT get_Description(BSTR* pText) = 0;
    virtual HRESULT put_Description(const BSTR& text) = 0;
};

// A range of a document's topics; (2, 0) is every topic.
struct IMmRange : IUnknown {
    QMX_INTERFACE_ID("{570A69F3-6328-40B3-BBAB-5316C3DFE03C}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    // Looks a topic up by its GUID (any case, braces optional); E_INVALIDARG
    // when the range holds no such topic.
    virtual HRESULT TopicByGuid(const BSTR& guid, IMmTopic** ppTopic) = 0;
};

struct IMmDocument : IUnknown {
    QMX_INTERFACE_ID("{AE17E55F-080C-4BEA-890F-9B8309E31675}");
    virtual HRESULT get_CentralTopic(IMmTopic** ppTopic) = 0;
    // The file's full path; empty for a map never saved.
    virtual HRESULT get_FullName(BSTR* pName) = 0;
    // The name shown: the file name, or "Map1", "Map2"... for a new map.
    virtual HRESULT get_Name(BSTR* pName) = 0;
    virtual HRESULT get_IsModified(VARIANT_BOOL* pModified) = 0;
    virtual HRESULT put_IsModified(VARIANT_BOOL modified) = 0;
    virtual HRESULT get_IsReadOnly(VARIANT_BOOL* pReadOnly) = 0;
    // Fails for a map without a file name or opened read-only.
    virtual HRESULT Save() = 0;
    // Format qmx::map::kFormatMap; the extension ".mm" writes a
    // FreeMind/Freeplane map instead.
    virtual HRESULT SaveAs(const BSTR& fileName, LONG format) = 0;
    virtual HRESULT get_Properties(IMmDocumentProperties** ppProperties) = 0;
    virtual HRESULT get_Range(LONG kind, LONG flags, IMmRange** ppRange) = 0;
    // Makes this the active document (document event 128 to the others).
    virtual HRESULT Activate() = 0;
    // Closes without asking: document events 64 and then 256, and 128 for
    // the map that becomes active in its place.
    virtual HRESULT Close() = 0;
};

// The open documents.
struct IMmDocuments : IUnknown {
    QMX_INTERFACE_ID("{9434DE56-562A-4323-9DA9-113A23B2E0DA}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    virtual HRESULT Item(LONG index, IMmDocument** ppDocument) = 0;
    // A new empty map, made active. The argument is 0.
    virtual HRESULT Add(LONG flags, IMmDocument** ppDocument) = 0;
    // Opens a map file (".mmap", or ".mm" for FreeMind/Freeplane), made
    // active. An open file is answered with its document. The host's maps
    // are not protected: the password text is ignored.
    virtual HRESULT Open(const BSTR& fileName, const BSTR& password, VARIANT_BOOL readOnly,
                         IMmDocument** ppDocument) = 0;
};

// What an event carries.
struct IMmEventData : IUnknown {
    QMX_INTERFACE_ID("{39D5064D-65CB-4267-B652-1A16B03CC104}");
    virtual HRESULT get_Kind(LONG* pKind) = 0;
    virtual HRESULT get_Phase(LONG* pPhase) = 0;
    virtual HRESULT get_Document(IMmDocument** ppDocument) = 0;
    virtual HRESULT get_ObjectType(LONG* pType) = 0;
    virtual HRESULT get_Object(IUnknown** ppObject) = 0;
};

// The outgoing interface of an event subscription. The event object answers
// IMmEventData.
struct IMmEventSink : IUnknown {
    QMX_INTERFACE_ID("{2D8C2543-F6B1-4063-BE16-B599899FFC8F}");
    virtual HRESULT OnEvent(IUnknown* pEvent) = 0;
};

// One registration with the event manager.
struct IMmEventSubscription : IUnknown {
    QMX_INTERFACE_ID("{238C1066-9938-4CE0-AB92-6D03D7F27626}");
    virtual HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) = 0;
    virtual HRESULT get_Mask(LONG* pMask) = 0;
    // Ends the registration; its sinks hear nothing more.
    virtual HRESULT Unregister() = 0;
};

struct IMmEventManager : IUnknown {
    QMX_INTERFACE_ID("{B0DCC265-3893-4239-9FC7-96F49B82AB19}");
    // classOrMask: a sum of event kinds. The other three are -1, -1, 0.
    virtual HRESULT Register(LONG classOrMask, LONG objectType, LONG phase, LONG flags,
                             IMmEventSubscription** ppSubscription) = 0;
};

// The outgoing interface of a command.
struct IMmCommandSink : IUnknown {
    QMX_INTERFACE_ID("{78CFED9D-E498-4E1E-8845-CBB6601AF3B4}");
    // Event 1: the user ran the command.
    virtual HRESULT OnRun() = 0;
    // Event 2: the host asks for the command's state before showing it.
    virtual HRESULT OnUpdateState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) = 0;
};

struct IMmCommand : IUnknown {
    QMX_INTERFACE_ID("{78191DB4-BE24-4194-B51F-D3082CBBD83D}");
    virtual HRESULT get_Name(BSTR* pName) = 0;
    virtual HRESULT get_AddInProgId(BSTR* pProgId) = 0;
    virtual HRESULT get_Caption(BSTR* pCaption) = 0;
    virtual HRESULT put_Caption(const BSTR& caption) = 0;
    virtual HRESULT get_ImagePath(BSTR* pPath) = 0;
    virtual HRESULT put_ImagePath(const BSTR& path) = 0;
    virtual HRESULT get_ConnectionPoint(IMmConnectionPoint** ppPoint) = 0;
    // What the host does: fires event 1, or event 2 and answers the state
    // (enabled when no sink answers).
    virtual HRESULT Execute() = 0;
    virtual HRESULT QueryState(VARIANT_BOOL* pEnabled, VARIANT_BOOL* pChecked) = 0;
};

struct IMmCommands : IUnknown {
    QMX_INTERFACE_ID("{8A678EDE-B48D-4054-B56D-52927BDBE731}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    virtual HRESULT Item(LONG index, IMmCommand** ppCommand) = 0;
    // A command named name for the add-in progId; the same pair again
    // answers the command already made.
    virtual HRESULT Add(const BSTR& progId, const BSTR& name, IMmCommand** ppCommand) = 0;
};

// The commands placed on one user-interface item (menu and tool bar).
struct IMmUiControls : IUnknown {
    QMX_INTERFACE_ID("{DF7D25C3-E289-463E-9344-BDEF9CF93AC5}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    virtual HRESULT Item(LONG index, IMmCommand** ppCommand) = 0;
    // Places the command (flags 0); a command already placed stays once.
    virtual HRESULT Add(IMmCommand* pCommand, LONG flags) = 0;
};

struct IMmUserInterface : IUnknown {
    QMX_INTERFACE_ID("{61A7514A-ED93-4A83-BF33-32A948980581}");
    virtual HRESULT get_Name(BSTR* pName) = 0;
    virtual HRESULT get_Controls(IMmUiControls** ppControls) = 0;
};

// The host's user-interface items; item 3 carries the add-ins' commands.
struct IMmUserInterfaces : IUnknown {
    QMX_INTERFACE_ID("{C0CF8A48-409F-491E-A938-5310C84FFF7C}");
    virtual HRESULT get_Count(LONG* pCount) = 0;
    virtual HRESULT Item(LONG index, IMmUserInterface** ppItem) = 0;
};

struct IMmApplication : IUnknown {
    QMX_INTERFACE_ID("{D73E9115-3910-4149-97B0-F6B2F8C3DE52}");
    // The flag is true from an adapter, false from an add-in; the collection
    // is the same.
    virtual HRESULT get_Documents(VARIANT_BOOL flag, IMmDocuments** ppDocuments) = 0;
    // S_FALSE and null when no map is open.
    virtual HRESULT get_ActiveDocument(IMmDocument** ppDocument) = 0;
    virtual HRESULT get_EventManager(IMmEventManager** ppManager) = 0;
    virtual HRESULT get_Commands(IMmCommands** ppCommands) = 0;
    virtual HRESULT get_UserInterfaces(IMmUserInterfaces** ppItems) = 0;
    // The main window's native handle; 0 without a window.
    virtual HRESULT get_MainWindowHandle(std::int64_t* pHandle) = 0;
};

// The add-in connection interface through which the host loads add-ins.
struct IDTExtensibility2 : IUnknown {
    QMX_INTERFACE_ID("{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}");
    // customArray: element 0 true asks the add-in to place its commands.
    virtual HRESULT OnConnection(IUnknown* pApplication, LONG connectMode, IUnknown* pAddInInst,
                                 const std::vector<VARIANT>& customArray) = 0;
    virtual HRESULT OnDisconnection(LONG removeMode, const std::vector<VARIANT>& customArray) = 0;
    virtual HRESULT OnAddInsUpdate(const std::vector<VARIANT>& customArray) = 0;
    virtual HRESULT OnStartupComplete(const std::vector<VARIANT>& customArray) = 0;
    virtual HRESULT OnBeginShutdown(const std::vector<VARIANT>& customArray) = 0;
};
