<map version="1.0.1">
<!-- To view this file, download free mind mapping software FreeMind from http://freemind.sourceforge.net -->
<node CREATED="1700000000000" ID="ID_1487302926" MODIFIED="1700000000000" TEXT="Holiday">
<node CREATED="1700000000000" FOLDED="true" ID="ID_12" POSITION="right" TEXT="Book" BACKGROUND_COLOR="#ffcc00">
<edge COLOR="#808080"/>
<icon BUILTIN="yes"/>
<attribute NAME="cost" VALUE="400"/>
<node ID="ID_13" TEXT="Flights"/>
</node>
<node ID="ID_14" POSITION="left">
<richcontent TYPE="NODE"><html><body><p>Rich <node TEXT="not a node"/></p></body></html></richcontent>
</node>
</node>
</map>
