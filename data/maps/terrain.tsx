<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="terrain" tilewidth="16" tileheight="16" tilecount="64" columns="8">
 <image source="tiles.png" width="128" height="128"/>
 <tile id="0" type="hole"/>
 <tile id="1" type="flat1"/>
 <tile id="2" type="flat2"/>
 <tile id="3" type="flat3"/>
 <tile id="4" type="flat4"/>
 <tile id="5" type="flat5"/>
 <tile id="6" type="water"/>
 <tile id="7" type="ramp54"/>
 <tile id="8" type="slope10"/>
 <tile id="9" type="slope21"/>
 <tile id="10" type="slope32"/>
 <tile id="11" type="slope43"/>
 <tile id="12" type="slope54"/>
 <tile id="14" type="slope1w"/>
 <tile id="15" type="ramp43"/>
 <tile id="16" type="slope20"/>
 <tile id="17" type="slope31"/>
 <tile id="18" type="slope42"/>
 <tile id="19" type="slope53"/>
 <tile id="22" type="slope2w"/>
 <tile id="23" type="ramp32"/>
 <tile id="24" type="slope30"/>
 <tile id="25" type="slope41"/>
 <tile id="26" type="slope52"/>
 <tile id="30" type="slope3w"/>
 <tile id="31" type="ramp21"/>
 <tile id="32" type="slope40"/>
 <tile id="33" type="slope51"/>
 <tile id="38" type="slope4w"/>
</tileset>
