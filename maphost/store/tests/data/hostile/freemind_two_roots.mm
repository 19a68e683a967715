<map version="1.0.1"><node TEXT="a"/><node TEXT="b"/></map>
