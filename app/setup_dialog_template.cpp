#include "app/setup_dialog_template.h"

// The mode list drops down to 133 units; closed it is as tall as the
// buttons, the height its font gives it.
const char kSetupDialogTemplate[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<interface>
  <object class="GtkWindow" id="101">
    <property name="decorated">False</property>
    <property name="resizable">False</property>
    <property name="window-position">center</property>
    <property name="type-hint">dialog</property>
    <child>
      <object class="GtkFixed" id="client">
        <property name="width-request">229</property>
        <property name="height-request">100</property>
        <child>
          <object class="GtkDrawingArea" id="picture">
            <property name="width-request">229</property>
            <property name="height-request">100</property>
          </object>
          <packing>
            <property name="x">0</property>
            <property name="y">0</property>
          </packing>
        </child>
        <child>
          <object class="GtkButton" id="1001">
            <property name="label">Start</property>
            <property name="can-focus">True</property>
            <property name="can-default">True</property>
            <property name="width-request">50</property>
            <property name="height-request">13</property>
          </object>
          <packing>
            <property name="x">122</property>
            <property name="y">82</property>
          </packing>
        </child>
        <child>
          <object class="GtkButton" id="1002">
            <property name="label">Quit</property>
            <property name="can-focus">True</property>
            <property name="width-request">50</property>
            <property name="height-request">13</property>
          </object>
          <packing>
            <property name="x">172</property>
            <property name="y">82</property>
          </packing>
        </child>
        <child>
          <object class="GtkComboBoxText" id="1003">
            <property name="can-focus">True</property>
            <property name="width-request">116</property>
            <property name="height-request">13</property>
          </object>
          <packing>
            <property name="x">5</property>
            <property name="y">83</property>
          </packing>
        </child>
      </object>
    </child>
  </object>
</interface>
)";

int dialogUnitsToPixelsX(int units) { return (units * 3 + 1) / 2; }

int dialogUnitsToPixelsY(int units) { return (units * 13 + 4) / 8; }
