<map version="1.0.1"><node TEXT="a"><attribute NAME="qmx-task:priority" VALUE="12"/></node></map>
