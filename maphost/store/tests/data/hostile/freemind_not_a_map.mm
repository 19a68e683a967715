<project><node TEXT="a"/></project>
