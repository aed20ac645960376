foreach(t IN ITEMS tables_test world_test)
  portalwalk_unit_test(${t})
endforeach()
